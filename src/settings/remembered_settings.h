// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <functional>
#include <memory>

#include "engine/drill_events.h"
#include "settings/remembered_values.h"

class DrillPort;
class FeatureHost;
class QSettings;

// Remembers the panel, the answer mode, the countdown speed, both colours,
// the sound switch and the screen between starts, in the user's
// configuration directory. A damaged file is moved aside, a file from a newer
// version or one that cannot be read is left alone; none of it stops a start.
// Nothing is written while a drill runs: changes made then are written when
// the run ends, is aborted, or the window closes.
class RememberedSettings final : public DrillListener {
 public:
  // `path` empty: pelatto/pelatto.conf in the user's configuration directory.
  // `defaults`: start from the built-in defaults and leave the file untouched.
  // Adds "最初の設定に戻す" to the host's menu.
  explicit RememberedSettings(FeatureHost& host, bool defaults = false, const QString& path = {});
  ~RememberedSettings() override;
  RememberedSettings(const RememberedSettings&) = delete;
  RememberedSettings& operator=(const RememberedSettings&) = delete;

  static QString defaultPath();

  // Once the window has run its start-up: sets the remembered panel as the
  // learner would, then remembers every change.
  void apply();
  // Ends a drill in progress and sets the built-in defaults (panel, colours, sound).
  void restoreDefaults();

  // The sound switch; soundChanged is told of every change (also by restoreDefaults).
  bool sound() const { return values_.sound; }
  void setSound(bool on);
  std::function<void(bool)> soundChanged;

  // The screen the window opens on, from 1; 0 for the first.
  int screen() const { return values_.screen; }
  void setScreen(int n);

  // What was said about the file at start (empty when all was well).
  const QString& notice() const { return notice_; }
  // Whether changes reach the file.
  bool writable() const { return file_ != nullptr; }

 private:
  void onDrillEvent(const DrillEvent& event) override;
  void load(const QString& path);
  void store();
  void say(const QString& text);

  DrillPort& port_;
  RememberedValues values_;
  std::unique_ptr<QSettings> file_;  // null: nothing is written
  bool fromFile_ = false;            // the values came from a file
  bool listening_ = false;
  bool inDrill_ = false;
  bool pending_ = false;  // a change made during a drill, not yet written
  bool writeFailed_ = false;
  QString notice_;
};
