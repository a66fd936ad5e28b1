#include "platform/application.h"

#include <QApplication>
#include <QStyleFactory>

#include "platform/accessibility.h"
#include "platform/fonts.h"

namespace pf {

struct Application::Impl {
  Impl(int& argc, char** argv) : app(argc, argv) {}
  QApplication app;
};

Application::Application(int& argc, char** argv) : impl_(std::make_unique<Impl>(argc, argv)) {
  // The Windows style paints a button's face in exactly its colour.
  if (QStyle* s = QStyleFactory::create(QStringLiteral("Windows"))) QApplication::setStyle(s);
  installFontSubstitutes();
  installAccessibility();
  // Names the folders of the learner's files: ~/.config/pelatto, ~/.local/share/pelatto.
  QApplication::setApplicationName(QStringLiteral("pelatto"));
  QApplication::setApplicationDisplayName(QStringLiteral("Pelatto"));
  QApplication::setDesktopFileName(QStringLiteral("org.pelatto.Pelatto"));
}

Application::~Application() = default;

int Application::exec() { return QApplication::exec(); }

bool Application::displayAvailable() {
  return !qEnvironmentVariableIsEmpty("DISPLAY") ||
         !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
         !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

}  // namespace pf
