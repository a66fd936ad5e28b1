// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/problem_maker.h"
#include "shell/frm_pelatto.h"

// The numbers of a problem are made one at a time, each from fresh draws of
// the re-seeded random source; the settings are read at every call.
void frmPelatto::MakeNumber() {
  rnd.Randomize();
  suu = makeNumber(*this, {ketaDai, ketaSyo, kon, kazu},
                   [this](const DrawRequest&) { return rnd.Rnd(); });
}
