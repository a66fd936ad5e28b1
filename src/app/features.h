// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <memory>

#include "classroom/class_options.h"

class Classroom;
class DrillPort;
class FeatureHost;
class FullScreen;
class GradeTests;
class History;
class Progress;
class Replay;
class RememberedSettings;
class SoundCues;
class TypedAnswers;

// How the program was started, as far as the features care.
struct StartOptions {
  bool defaults = false;   // built-in settings; the remembered ones untouched
  int screen = 0;          // the screen to open on, from 1; 0: the remembered one
  QString settingsPath;    // empty: the user's configuration directory
  QString historyPath;     // empty: the user's data directory
  ClassOptions classroom;  // a class to open or join once the window is shown
};

// Everything the program offers beyond the window itself: each feature
// attaches to the one host and keeps its own state. The order here is the
// order of the window's menu. Constructed before the window is shown;
// windowLoaded() once the window has run its start-up and before it shows,
// so that the remembered settings are already in its first paint.
class Features {
 public:
  explicit Features(DrillPort& port, const StartOptions& options = {});
  ~Features();
  Features(const Features&) = delete;
  Features& operator=(const Features&) = delete;

  void windowLoaded();

  FeatureHost& host() const { return *host_; }
  TypedAnswers& answers() const { return *answers_; }
  History& history() const { return *history_; }
  Progress& progress() const { return *progress_; }
  Replay& replay() const { return *replay_; }
  GradeTests& grades() const { return *grades_; }
  FullScreen& fullScreen() const { return *fullScreen_; }
  SoundCues& sound() const { return *sound_; }
  RememberedSettings& remembered() const { return *remembered_; }
  Classroom& classroom() const { return *classroom_; }

 private:
  std::unique_ptr<FeatureHost> host_;
  std::unique_ptr<TypedAnswers> answers_;
  std::unique_ptr<History> history_;
  std::unique_ptr<Progress> progress_;
  std::unique_ptr<Replay> replay_;
  std::unique_ptr<GradeTests> grades_;
  std::unique_ptr<FullScreen> fullScreen_;
  std::unique_ptr<SoundCues> sound_;
  std::unique_ptr<Classroom> classroom_;
  std::unique_ptr<RememberedSettings> remembered_;
};
