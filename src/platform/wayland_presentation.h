// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

class QWindow;

namespace pf {

// One frame as the compositor reports it, on the monotonic clock.
struct PresentedFrame {
  std::int64_t sentNs = 0;     // when the change was sent
  std::int64_t meantNs = 0;    // the refresh it was sent for
  std::int64_t shownNs = 0;    // when the compositor showed it; 0: never shown
  std::int64_t periodNs = 0;   // the refresh period then (0: not known)
  std::uint64_t sequence = 0;  // the display's frame counter, where it has one
  bool vsync = false;          // shown on the display's own refresh, not on a timer
};

// The presentation-time protocol on Qt's own Wayland connection: for every
// change the program sends, the compositor tells when it reached the
// screen. Exists only where the program runs on Wayland and the compositor
// offers the protocol.
class WaylandPresentation {
 public:
  static std::unique_ptr<WaylandPresentation> create();
  ~WaylandPresentation();
  WaylandPresentation(const WaylandPresentation&) = delete;
  WaylandPresentation& operator=(const WaylandPresentation&) = delete;

  // Asks to hear about the next commit of the window's surface (call just
  // before sending it).
  void watchNextCommit(QWindow* window, std::int64_t meantNs);
  // Hands over what the compositor has reported since the last call.
  void collect();

  std::function<void(const PresentedFrame&)> onPresented;

 private:
  WaylandPresentation() = default;
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace pf
