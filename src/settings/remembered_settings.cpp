// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/remembered_settings.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <cstdio>

#include "host/drill_port.h"
#include "host/feature_host.h"
#include "host/window_menu.h"

namespace {

// Renames a damaged file beside itself, never over another one.
QString moveAside(const QString& path) {
  const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
  QString target = path + QStringLiteral(".damaged-") + stamp;
  for (int k = 2; QFileInfo::exists(target); ++k)
    target = path + QStringLiteral(".damaged-") + stamp + QLatin1Char('-') + QString::number(k);
  return QFile::rename(path, target) ? target : QString();
}

}  // namespace

RememberedSettings::RememberedSettings(FeatureHost& host, bool defaults, const QString& path)
    : port_(host.port()) {
  if (!defaults) load(path.isEmpty() ? defaultPath() : path);
  host.menu().add(QStringLiteral("最初の設定に戻す"), {}, [this] { restoreDefaults(); });
}

RememberedSettings::~RememberedSettings() {
  if (listening_) port_.unsubscribe(this);
}

QString RememberedSettings::defaultPath() {
  return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
         QStringLiteral("/pelatto/pelatto.conf");
}

void RememberedSettings::load(const QString& path) {
  const QFileInfo info(path);
  const bool existed = info.exists();
  if (existed && (!info.isFile() || !info.isReadable())) {
    say(QStringLiteral("the remembered settings in %1 cannot be read; the defaults are used and "
                       "the file is left alone")
            .arg(path));
    return;
  }
  file_ = std::make_unique<QSettings>(path, QSettings::IniFormat);
  QVariantMap stored;
  for (const QString& key : file_->allKeys()) stored.insert(key, file_->value(key));
  const ReadValues read = readValues(stored);
  const bool known = std::any_of(stored.keyBegin(), stored.keyEnd(),
                                 [&](const QString& k) { return writeValues({}).contains(k); });
  if (existed && (file_->status() == QSettings::FormatError || (info.size() > 0 && !known))) {
    file_.reset();
    const QString aside = moveAside(path);
    if (aside.isEmpty()) {
      say(QStringLiteral("the remembered settings in %1 are damaged and cannot be moved aside; "
                         "the defaults are used and the file is left alone")
              .arg(path));
      return;
    }
    say(QStringLiteral("the remembered settings were damaged and were moved to %1; the defaults "
                       "are used")
            .arg(aside));
    file_ = std::make_unique<QSettings>(path, QSettings::IniFormat);
    return;
  }
  values_ = read.values;
  fromFile_ = existed;
  if (read.newer) {
    file_.reset();
    say(QStringLiteral("the remembered settings in %1 come from a newer version of Pelatto; they "
                       "are used but not changed")
            .arg(path));
  }
  QStringList ignored;
  if (!read.ignored.isEmpty())
    ignored << QStringLiteral(
                   "ignored remembered values out of range (their defaults are used): %1")
                   .arg(read.ignored.join(QStringLiteral(", ")));
  if (!read.unknown.isEmpty())
    ignored << QStringLiteral("ignored unknown keys in %1: %2")
                   .arg(path, read.unknown.join(QStringLiteral(", ")));
  if (!ignored.isEmpty()) say(ignored.join(QStringLiteral("; ")));
}

void RememberedSettings::say(const QString& text) {
  notice_ += (notice_.isEmpty() ? QString() : QStringLiteral("\n")) + text;
  std::fprintf(stderr, "pelatto: %s\n", qPrintable(text));
}

void RememberedSettings::apply() {
  // The very first start, and a start with the defaults, stay as they are.
  if (fromFile_) port_.applySettings(values_.panel);
  listening_ = true;
  port_.subscribe(this);
  store();
}

void RememberedSettings::restoreDefaults() {
  port_.pressAbort();
  port_.applySettings(DrillSettings{});
  setSound(RememberedValues{}.sound);
  store();
}

void RememberedSettings::setSound(bool on) {
  if (values_.sound == on) return;
  values_.sound = on;
  if (soundChanged) soundChanged(on);
  store();
}

void RememberedSettings::setScreen(int n) {
  values_.screen = n;
  store();
}

void RememberedSettings::onDrillEvent(const DrillEvent& event) {
  using K = DrillEvent::Kind;
  switch (event.kind) {
    case K::Started:
      inDrill_ = true;
      break;
    case K::RunEnded:
    case K::Aborted:
      inDrill_ = false;
      if (pending_) store();
      break;
    case K::SettingsChanged:
      store();
      break;
    case K::Closed:
      inDrill_ = false;
      store();
      if (file_) file_->sync();
      break;
    default:
      break;
  }
}

void RememberedSettings::store() {
  if (listening_) values_.panel = port_.ownSettings();
  if (!file_) return;
  // QSettings writes on a later turn of the event loop; during a drill not even that.
  if (inDrill_) {
    pending_ = true;
    return;
  }
  pending_ = false;
  const QVariantMap all = writeValues(values_);
  for (auto it = all.begin(); it != all.end(); ++it)
    if (file_->value(it.key()).toString() != it.value().toString())
      file_->setValue(it.key(), it.value());
  if (file_->status() != QSettings::NoError && !writeFailed_) {
    writeFailed_ = true;
    say(QStringLiteral("the settings could not be written to %1").arg(file_->fileName()));
  }
}
