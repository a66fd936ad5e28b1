// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <array>
#include <cstdint>

#include "engine/problem_maker.h"
#include "platform/colour.h"

// The one drill state of the program, owned by the main window for its
// whole life. Counters and settings are 16-bit like the panel's ranges.
struct DrillState : NumberSlots {
  using int16 = std::int16_t;

  // Settings taken from the panel.
  int16 ketaDai = 0;    // longest digit count
  int16 ketaSyo = 0;    // shortest digit count
  int16 kon = 0;        // how many numbers of a problem are shorter ones
  int16 kazu = 0;       // terms per problem
  int16 hayasa = 0;     // time per number, hundredths of a second
  int16 tyo = 0;        // display extension, in flash ticks
  int16 mondsu = 0;     // problems still to come in the run
  int16 renmondsu = 0;  // run length as last set on its scroll bar
  int16 taimu = 0;      // countdown tick, ms
  int16 kaisu = 0;      // dial lines advanced per countdown tick

  // The problem in progress (with the number maker's slots su, i, h,
  // SwthK and ransu).
  double suu = 0;    // the number just made
  double gokei = 0;  // running total: the answer
  int16 n = 0;       // numbers shown so far
  QString suretu1;   // numbers 1 to 15, each ended by CR LF
  QString suretu2;   // numbers 16 on
  QString suuRet;    // digit grouping input
  QString suuKug;    // digit grouping output

  // Pacing and hold.
  bool Swthsuuji = false;   // flash phase: a number appears only on an on-tick
  int16 entyo = 0;          // flash ticks since the display was last blanked
  int16 matiji = 0;         // answer-wait ticks since the series ended
  int16 p = 0;              // problems entered in the answer columns: selects the column
  int16 e = 0;              // completed sweeps of the countdown
  bool SwthTome = false;    // the drill is on hold
  bool SwthTomeru = false;  // the answer wait ignores its ticks

  // Countdown dial and colours. The dial's top point is held wider than
  // 16 bits so that windows of any size keep a correct dial.
  int16 wa = 1;              // dial line being placed, 0 to 49
  std::int32_t waX = 0;      // top (12 o'clock) point of the ring, twips
  std::int32_t waY = 0;      //   set by the layout
  float r = 0;               // radius of the ring, twips
  float ko = 0;              // angle between neighbouring lines, radians
  float c = 0;               // last computed point of the ring, twips
  float d = 0;               //   (x and y)
  pf::Colour lineColor = 0;  // dial lines at rest: the background colour
  bool SwthBotm = false;     // which of its two states the colour-reset button applies next
};
