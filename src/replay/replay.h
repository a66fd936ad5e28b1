// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/drill_events.h"
#include "host/records.h"

class DrillPort;
class FeatureHost;

// A recorded problem flashed again on the main window brought to the front:
// the same numbers (the draws worked out from them for the window's own
// number making) at the same settings, one problem, with its answer shown in
// the same way (a manual answer when it was part of an answer-later run),
// recorded as a replay. The panel is lent to it; the learner's own settings
// come back at the next start. On the menu and Ctrl+R for the last problem,
// and to the host for any problem.
class Replay final : public DrillListener {
 public:
  explicit Replay(FeatureHost& host);
  ~Replay() override;
  Replay(const Replay&) = delete;
  Replay& operator=(const Replay&) = delete;

  // False, with the reason in the passing note, when the window is busy or
  // the numbers cannot be made again.
  bool replay(const ProblemRecord& problem);
  bool replayLast();

  void onDrillEvent(const DrillEvent& event) override;

 private:
  bool refuse(const QString& why);

  FeatureHost& host_;
  DrillPort& port_;
  bool replaying_ = false;  // from the replay's start to its end
  bool starting_ = false;   // the replay is pressing start
  int terms_ = 0;
};
