// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

// A total as it was shown, with what the learner typed for it.
struct MarkedAnswer {
  int problem = 0;              // index of the problem in its run, from 0
  double total = 0;             // the total that was shown
  std::optional<double> typed;  // nothing when no answer was given
  bool given() const { return typed.has_value(); }
  bool correct() const { return typed && *typed == total; }
};

// Told once for every problem whose total the learner has been shown: after
// the automatic or manual reveal, or, in answer-later runs, for every problem
// in order when the answer columns appear. Problems without an answer are
// told too.
class AnswerListener {
 public:
  virtual ~AnswerListener() = default;
  virtual void onAnswerMarked(const MarkedAnswer& answer) = 0;
  // Told when digits typed for a problem become its answer (Enter, or the
  // next problem or the reveal taking them), before any mark.
  virtual void onAnswerCommitted(int /*problem*/, double /*typed*/) {}
  // Told for every problem with a committed answer whose total the learner
  // was never shown, when the sheet lets it go: the drill aborted, the
  // window closing, or the next run starting. `total` is 0 while the
  // problem's numbers were still flashing.
  virtual void onAnswerStopped(const MarkedAnswer&) {}
};
