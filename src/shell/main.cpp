#include <cstdio>

#include "platform/application.h"
#include "platform/precise_clock.h"
#include "shell/frm_pelatto.h"

int main(int argc, char** argv) {
  if (!pf::Application::displayAvailable()) {
    std::fputs(
        "pelatto: no display found; it needs a graphical desktop (DISPLAY or WAYLAND_DISPLAY)\n",
        stderr);
    return 1;
  }
  pf::Application app(argc, argv);
  pf::PreciseClock clock;
  frmPelatto window(clock);
  window.Show();
  return app.exec();
}
