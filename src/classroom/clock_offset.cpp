// SPDX-License-Identifier: GPL-3.0-or-later
#include "classroom/clock_offset.h"

bool ClockOffset::add(qint64 t1, qint64 t2, qint64 t3, qint64 t4) {
  const qint64 roundTrip = (t4 - t1) - (t3 - t2);
  if (t4 < t1 || t3 < t2 || roundTrip < 0) return false;
  samples_.push_back({((t2 - t1) + (t3 - t4)) / 2, roundTrip});
  if (samples_.size() > kKept) samples_.pop_front();
  return true;
}

const ClockOffset::Sample* ClockOffset::best() const {
  const Sample* b = nullptr;
  for (const Sample& s : samples_)
    if (!b || s.roundTrip < b->roundTrip) b = &s;
  return b;
}

std::optional<qint64> ClockOffset::offsetNs() const {
  const Sample* b = best();
  return b ? std::optional(b->offset) : std::nullopt;
}

qint64 ClockOffset::roundTripNs() const {
  const Sample* b = best();
  return b ? b->roundTrip : 0;
}
