// SPDX-License-Identifier: GPL-3.0-or-later
#include <cmath>

#include "engine/drill_timing.h"
#include "shell/frm_pelatto.h"
#include "shell/palette.h"

// The dial is a ring of 50 retained lines around the display. A sweep
// paints the lines one by one in the background colour, clockwise from
// 12 o'clock; at its end the whole ring is drawn again in the ring colour.

namespace {
using palette::kRingColour;
}

void frmPelatto::ComputeRingPoint() {
  // The angle is a single-precision product; sine, cosine and sums are
  // evaluated in double and stored in single.
  const float angle = static_cast<float>(wa + 1) * ko;
  c = static_cast<float>(r * std::sin(static_cast<double>(angle)) + waX);
  d = static_cast<float>(r - r * std::cos(static_cast<double>(angle)) + waY);
}

void frmPelatto::DrawDialLine() {
  ComputeRingPoint();
  pf::Line& line = lin1[wa];
  line.setX1(lin1[wa - 1].X2());
  line.setY1(lin1[wa - 1].Y2());
  line.setX2(c);
  line.setY2(d);
}

void frmPelatto::PaintDialLines(pf::Colour colour) {
  for (wa = 1; wa <= 49; ++wa) {
    lin1[wa].setBorderColor(colour);
    DrawDialLine();
  }
  wa = 0;
}

void frmPelatto::tmr1_Timer() {
  cmdTome.setEnabled(true);

  if (wa <= 48) {
    for (int rep = 0; rep < kaisu; ++rep) {
      ComputeRingPoint();
      lin1[0].setX1(static_cast<float>(waX));
      lin1[0].setY1(static_cast<float>(waY));
      lin1[wa].setBorderColor(lineColor);
      lin1[wa].setVisible(true);
      if (wa == 0) {
        lin1[0].setX2(static_cast<float>(waX));
        lin1[0].setY2(static_cast<float>(waY));
        wa = 1;
      }
      lin1[wa].setX1(lin1[wa - 1].X2());
      lin1[wa].setY1(lin1[wa - 1].Y2());
      lin1[wa].setX2(c);
      lin1[wa].setY2(d);
      wa = wa + 1;
    }
    if (wa <= 48) return;
  }

  // End of a sweep: the whole ring again, and the count in the display.
  wa = 0;
  lin1[0].setBorderColor(kRingColour);
  lin1[0].setX2(static_cast<float>(waX));
  lin1[0].setY2(static_cast<float>(waY));
  PaintDialLines(kRingColour);
  lbl1.setCaption(e < 2 ? QString::number(3 - e) : QString());
  e = e + 1;
  if (e != 4) return;

  // End of the countdown: the ring goes and the flashing begins.
  form.Cls();
  PaintDialLines(lineColor);
  wa = 0;
  lin1[0].setVisible(false);
  tmr1.setInterval(0);
  tmr2.setEnabled(true);
  tmr2.setInterval(drill_timing::flashTickMs(hayasa));
  events.announce(DrillEvent::Kind::CountdownEnded, 0, {}, p);
}

void frmPelatto::optC1_Click() {
  taimu = drill_timing::countdownSpeed(1).tickMs;
  kaisu = drill_timing::countdownSpeed(1).linesPerTick;
}

void frmPelatto::optC2_Click() {
  taimu = drill_timing::countdownSpeed(2).tickMs;
  kaisu = drill_timing::countdownSpeed(2).linesPerTick;
}

void frmPelatto::optC3_Click() {
  taimu = drill_timing::countdownSpeed(3).tickMs;
  kaisu = drill_timing::countdownSpeed(3).linesPerTick;
}
