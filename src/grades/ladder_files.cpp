// SPDX-License-Identifier: GPL-3.0-or-later
#include "grades/ladder_files.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QStringDecoder>

#ifndef PELATTO_INSTALL_DATADIR
#define PELATTO_INSTALL_DATADIR "share"
#endif

const Grade* LadderSet::find(const QString& name, const Ladder** ladder) const {
  const auto in = [&](const Ladder& l, const QString& gradeName) -> const Grade* {
    for (const Grade& g : l.grades) {
      if (g.name != gradeName) continue;
      if (ladder) *ladder = &l;
      return &g;
    }
    return nullptr;
  };
  // "ladder/grade" at any slash, for names that hold one themselves.
  for (qsizetype slash = name.indexOf('/'); slash >= 0; slash = name.indexOf('/', slash + 1))
    for (const Ladder& l : ladders)
      if (l.name == name.left(slash).trimmed())
        if (const Grade* g = in(l, name.mid(slash + 1).trimmed())) return g;
  for (const Ladder& l : ladders)
    if (const Grade* g = in(l, name.trimmed())) return g;
  return nullptr;
}

QStringList LadderSet::gradeLists() const {
  QStringList out;
  for (const Ladder& l : ladders) {
    QStringList names;
    for (const Grade& g : l.grades) names << g.name;
    out << l.name + ": " + names.join(' ');
  }
  return out;
}

void readLadderFolder(const QString& folder, LadderSet& into) {
  const QDir dir(folder);
  const QStringList files = dir.entryList({QStringLiteral("*.txt")}, QDir::Files, QDir::Name);
  for (const QString& name : files) {
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
      into.errors << LadderError{path, 0, QStringLiteral("読めません: ") + file.errorString()};
      continue;
    }
    if (file.size() > kMaxLadderBytes) {
      into.errors << LadderError{path, 0,
                                 QStringLiteral("大きすぎます（%1 バイト。段級表のファイルは %2 "
                                                "バイトまで）")
                                     .arg(file.size())
                                     .arg(kMaxLadderBytes)};
      continue;
    }
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8.decode(file.readAll());
    if (utf8.hasError()) {
      into.errors << LadderError{path, 0, QStringLiteral("UTF-8 のテキストではありません")};
      continue;
    }
    LadderParse parsed = parseLadder(text, path);
    into.errors << parsed.errors;
    if (!parsed.ladder) continue;
    bool taken = false;
    for (const Ladder& l : into.ladders) taken = taken || l.name == parsed.ladder->name;
    if (taken)
      into.errors << LadderError{
          path, 0,
          QStringLiteral("「%1」という名前の段級表はもうあります").arg(parsed.ladder->name)};
    else
      into.ladders << *parsed.ladder;
  }
}

QStringList bundledLadderFolders() {
  const QString app = QCoreApplication::applicationDirPath();
  const QString sub = QStringLiteral(PELATTO_INSTALL_DATADIR "/pelatto/ladders");
  // Installed: <prefix>/bin/pelatto beside <prefix>/share. In the build tree
  // the program sits at the top and the tests one folder down.
  QStringList folders = {app + "/../" + sub, app + '/' + sub};
  for (const QString& data : QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation))
    folders << data + QStringLiteral("/pelatto/ladders");
  return folders;
}

QString userLadderFolder() {
  return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation) +
         QStringLiteral("/ladders");
}

LadderSet loadLadders() {
  LadderSet set;
  for (const QString& folder : bundledLadderFolders()) {
    const QString clean = QDir::cleanPath(folder);
    set.searched << clean;
    if (QDir(clean).exists()) {
      readLadderFolder(clean, set);
      break;
    }
  }
  if (set.ladders.isEmpty())
    set.errors << LadderError{set.searched.join(QStringLiteral(", ")), 0,
                              QStringLiteral("同梱の段級表が見つかりません")};
  readLadderFolder(userLadderFolder(), set);
  return set;
}
