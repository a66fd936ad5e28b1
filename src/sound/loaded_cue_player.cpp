// SPDX-License-Identifier: GPL-3.0-or-later
#include "sound/loaded_cue_player.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QLibrary>
#include <QTimer>

#include "sound/sound_module.h"

LoadedCuePlayer::LoadedCuePlayer(Now now, QStringList folders)
    : now_(std::move(now)), folders_(std::move(folders)) {}

// The module stays loaded to the end: its code may still run on the output's thread.
LoadedCuePlayer::~LoadedCuePlayer() = default;

QStringList LoadedCuePlayer::moduleFolders() {
  const QDir program(QCoreApplication::applicationDirPath());
  return {program.filePath(QStringLiteral("modules")),
          program.filePath(QStringLiteral(PELATTO_MODULES_FROM_PROGRAM))};
}

void LoadedCuePlayer::prepare() {
  wanted_ = true;
  if (player_) return player_->prepare();
  if (missing_ || loading_) return;
  loading_ = true;
  QTimer::singleShot(0, &context_, [this] {
    loading_ = false;
    if (!wanted_) return;
    load();
    if (player_) player_->prepare();
  });
}

void LoadedCuePlayer::load() {
  QStringList why;
  for (const QString& folder : folders_) {
    QLibrary module(QDir(folder).filePath(QStringLiteral(PELATTO_SOUND_MODULE)));
    const auto make = reinterpret_cast<MakeCuePlayer*>(module.resolve(kMakeCuePlayer));
    if (make) {
      player_.reset(make(now_));
      player_->failed = [this] {
        if (failed) failed();
      };
      return;
    }
    why << module.errorString();
  }
  missing_ = true;
  qWarning().noquote() << "pelatto: no sound output:" << why.join(QStringLiteral("; "));
  if (failed) failed();
}

void LoadedCuePlayer::play(Cue cue, std::int64_t atNs) {
  if (player_) player_->play(cue, atNs);
}

void LoadedCuePlayer::cancel() {
  if (player_) player_->cancel();
}

void LoadedCuePlayer::release() {
  wanted_ = false;
  if (player_) player_->release();
}
