// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>

#include "platform/clock.h"
#include "platform/colour_dialog.h"

namespace pf {

// What the window takes from the world around it. The program gives the
// event loop's clock and leaves the rest empty; tests give a virtual clock,
// answers for the colour dialogs and a fixed seed.
struct Environment {
  Clock& clock;  // drives every timer; its readings seed the random source
  // Answers both colour dialogs in place of the platform's dialog; read at
  // each opening, so a test may set it after the window is built.
  ColorDialog::Responder colourDialogs{};
  std::optional<std::uint64_t> seed{};  // the random source's first seed; none: the clock's reading
};

}  // namespace pf
