#pragma once

#include <QString>
#include <memory>

#include "classroom/class_options.h"

class AnswerSheet;
class Classroom;
class DrillPort;
class GradeTests;
class TypedAnswers;
class FullScreen;
class RememberedSettings;
class History;
class ProgressWindow;
class SoundCues;
class WindowMenu;

// How the program was started, as far as the features care.
struct StartOptions {
  bool defaults = false;   // built-in settings; the remembered ones untouched
  int screen = 0;          // the screen to open on, from 1; 0: the remembered one
  QString settingsPath;    // empty: the user's configuration directory
  QString historyPath;     // empty: the user's data directory
  ClassOptions classroom;  // a class to open or join once the window is shown
};

// Everything the program offers beyond the window itself, built around it.
// Each feature listens to the drill through the port and keeps its own state.
// Constructed before the window is shown; windowShown() once it has run its
// start-up.
class Features {
 public:
  explicit Features(DrillPort& port, const StartOptions& options = {});
  ~Features();
  Features(const Features&) = delete;
  Features& operator=(const Features&) = delete;

  void windowShown();

  WindowMenu& menu() const { return *menu_; }
  // The learner's typed answers; subscribe to hear each marked total.
  AnswerSheet& answers() const;
  GradeTests& grades() const { return *grades_; }
  RememberedSettings& remembered() const { return *remembered_; }
  FullScreen& fullScreen() const { return *fullScreen_; }
  SoundCues& sound() const { return *sound_; }
  History& history() const { return *history_; }
  Classroom& classroom() const { return *classroom_; }

 private:
  DrillPort& port_;
  std::unique_ptr<WindowMenu> menu_;
  std::unique_ptr<TypedAnswers> answers_;
  std::unique_ptr<RememberedSettings> remembered_;
  std::unique_ptr<FullScreen> fullScreen_;
  std::unique_ptr<SoundCues> sound_;
  std::unique_ptr<History> history_;
  std::unique_ptr<ProgressWindow> progress_;
  std::unique_ptr<GradeTests> grades_;
  std::unique_ptr<Classroom> classroom_;
};
