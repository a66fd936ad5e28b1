#include <cstdio>

#include "desktop/features.h"
#include "platform/application.h"
#include "shell/drill_port.h"
#include "shell/frm_pelatto.h"

int main(int argc, char** argv) {
  if (!pf::Application::displayAvailable()) {
    std::fputs(
        "pelatto: no display found; it needs a graphical desktop (DISPLAY or WAYLAND_DISPLAY)\n",
        stderr);
    return 1;
  }
  pf::Application app(argc, argv);
  pf::EventLoopClock clock;
  const pf::Environment env{.clock = clock};
  frmPelatto window(env);
  DrillPort port(window);
  Features features(port);
  window.Show();
  return app.exec();
}
