// SPDX-License-Identifier: GPL-3.0-or-later
#include <QCoreApplication>
#include <QTextStream>
#include <cstdio>

#include "app/command_line.h"
#include "app/features.h"
#include "classroom/classroom.h"
#include "grades/grade_tests.h"
#include "history/history_export.h"
#include "platform/application.h"
#include "platform/environment.h"
#include "platform/precise_clock.h"
#include "platform/quit_signals.h"
#include "shell/frm_pelatto.h"
#include "shell/window_port.h"

namespace {

int run(int argc, char** argv) {
  // --help, --version and a bad option need no display.
  const CommandLine command = parseCommandLine(argc, argv);
  std::fputs(qPrintable(command.output), stdout);
  std::fputs(qPrintable(command.error), stderr);
  if (command.exitCode >= 0) return command.exitCode;

  // The features that run without the window.
  if (!command.exportHistory.isEmpty()) {
    QCoreApplication core(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("pelatto"));
    QTextStream err(stderr);
    return exportHistoryToFile(command.exportHistory, err, {.partial = command.partial});
  }

  if (!pf::Application::displayAvailable()) {
    std::fputs(
        "pelatto: no display found; it needs a graphical desktop (DISPLAY or WAYLAND_DISPLAY)\n",
        stderr);
    return 1;
  }
  pf::Application app(argc, argv);
  pf::PreciseClock clock;
  const pf::Environment env{.clock = clock};
  frmPelatto window(env);
  // A logout, a shutdown or Ctrl+C closes the window as the learner would;
  // the features then write what they hold on the way out.
  pf::QuitSignals quitSignals([&window] { window.form.Unload(); });
  WindowPort port(window);
  StartOptions options;
  options.defaults = command.defaults;
  options.screen = command.screen;
  options.classroom = command.classroom;
  Features features(port, options);
  window.Show([&features] { features.windowLoaded(); });

  // The features that start from the shown window.
  if (!command.grade.isEmpty()) {
    QTextStream err(stderr);
    // A grade no ladder has: the list of grades, and no window.
    if (!features.grades().startGradeByName(command.grade, err)) return 2;
  }
  if (options.classroom.any()) {
    QString why;
    if (!features.classroom().start(options.classroom, &why)) {
      std::fprintf(stderr, "pelatto: %s\n", qPrintable(why));
      return 1;
    }
  }
  return app.exec();
}

}  // namespace

int main(int argc, char** argv) {
  const int code = run(argc, argv);
  // Everything is written: a signal that closed the window now ends the process.
  pf::QuitSignals::endAsReceived();
  return code;
}
