// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>
#include <deque>
#include <optional>

// How far the teacher's clock is ahead of this one, from NTP's four
// timestamps: the learner asks at t1 (its clock), the teacher receives at t2
// and answers at t3 (the teacher's clock), the answer arrives at t4. Each
// exchange gives offset ((t2 - t1) + (t3 - t4)) / 2, in error by at most half
// its round trip (t4 - t1) - (t3 - t2); the exchange with the smallest round
// trip among the recent ones is trusted. Exchanges are run in bursts when a
// learner joins and between problems; the oldest are forgotten, so a clock
// that drifts is followed.
class ClockOffset {
 public:
  static constexpr std::size_t kKept = 24;

  // Returns false for an exchange that cannot be (time running backwards).
  bool add(qint64 t1, qint64 t2, qint64 t3, qint64 t4);
  int samples() const { return static_cast<int>(samples_.size()); }
  // Teacher minus learner, and the round trip it came with; nothing before
  // the first exchange.
  std::optional<qint64> offsetNs() const;
  qint64 roundTripNs() const;
  qint64 toLocal(qint64 teacherNs) const { return teacherNs - offsetNs().value_or(0); }
  qint64 toTeacher(qint64 localNs) const { return localNs + offsetNs().value_or(0); }

 private:
  struct Sample {
    qint64 offset, roundTrip;
  };
  const Sample* best() const;
  std::deque<Sample> samples_;
};
