#pragma once

#include <memory>

class DrillPort;
class History;
class ProgressWindow;
class WindowMenu;

// Everything the program offers beyond the window itself, built around it.
// Each feature listens to the drill through the port and keeps its own state.
class Features {
 public:
  explicit Features(DrillPort& port);
  ~Features();
  Features(const Features&) = delete;
  Features& operator=(const Features&) = delete;

  WindowMenu& menu() const { return *menu_; }
  History& history() const { return *history_; }

 private:
  DrillPort& port_;
  std::unique_ptr<WindowMenu> menu_;
  std::unique_ptr<History> history_;
  std::unique_ptr<ProgressWindow> progress_;
};
