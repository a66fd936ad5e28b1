// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace pf {

// Colours are held as 0x00BBGGRR, red in the low byte.
using Colour = std::int32_t;

}  // namespace pf
