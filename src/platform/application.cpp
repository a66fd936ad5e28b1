// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/application.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QStyleFactory>
#include <QTranslator>

#include "platform/accessibility.h"
#include "platform/fonts.h"

namespace pf {

struct Application::Impl {
  Impl(int& argc, char** argv) : app(argc, argv) {}
  QApplication app;
  QTranslator qt;  // Qt's own texts in Japanese
};

Application::Application(int& argc, char** argv) : impl_(std::make_unique<Impl>(argc, argv)) {
  // The Windows style paints a button's face in exactly its colour.
  if (QStyle* s = QStyleFactory::create(QStringLiteral("Windows"))) QApplication::setStyle(s);
  installFontSubstitutes();
  // Qt's own dialogs (saving a file, choosing a colour) speak the program's
  // language, whatever the desktop's; without Debian's translations they stay English.
  if (impl_->qt.load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qt"),
                     QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    QApplication::installTranslator(&impl_->qt);
  installAccessibility();
  // Names the folders of the learner's files: ~/.config/pelatto, ~/.local/share/pelatto.
  QApplication::setApplicationName(QStringLiteral("pelatto"));
  QApplication::setApplicationDisplayName(QStringLiteral("Pelatto"));
  QApplication::setDesktopFileName(QStringLiteral("org.pelatto.pelatto"));
}

Application::~Application() = default;

int Application::exec() { return QApplication::exec(); }

bool Application::displayAvailable() {
  return !qEnvironmentVariableIsEmpty("DISPLAY") ||
         !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
         !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

}  // namespace pf
