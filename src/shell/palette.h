// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/units.h"

// The window's colours at start-up, 0x00BBGGRR.
namespace palette {

inline constexpr pf::Colour kDarkGreen = 0x00006000;    // window, frames, option buttons
inline constexpr pf::Colour kBrightGreen = 0x0000EE00;  // faces of the drill buttons
inline constexpr pf::Colour kGreen = 0x0000AA00;        // face of the background button
inline constexpr pf::Colour kWhite = 0x00FFFFFF;        // flashed number, panel captions
inline constexpr pf::Colour kPaleCyan = 0x00FFFFC0;     // total, answer texts, printed text
inline constexpr pf::Colour kCyan = 0x00FFFF00;         // the number lists
inline constexpr pf::Colour kLightCyan = 0x00FFFF80;    // panel read-outs
inline constexpr pf::Colour kOrange = 0x000080FF;       // the remaining-problems count
inline constexpr pf::Colour kLightYellow = 0x0080FFFF;  // the marker above the first column
inline constexpr pf::Colour kTeal = 0x00C0C000;         // dial line 0 at design
inline constexpr pf::Colour kRingColour = kPaleCyan;    // the dial's whole ring

}  // namespace palette
