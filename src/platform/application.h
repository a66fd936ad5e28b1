// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>

namespace pf {

// The program's application object: Qt's, with the classic look (exact
// button faces) and the Japanese font substitutes installed.
class Application {
 public:
  Application(int& argc, char** argv);
  ~Application();
  int exec();
  // Whether a display can be opened: a display server is named, or a
  // platform plugin was chosen explicitly.
  static bool displayAvailable();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace pf
