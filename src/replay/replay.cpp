// SPDX-License-Identifier: GPL-3.0-or-later
#include "replay/replay.h"

#include <QKeySequence>
#include <QWidget>

#include "engine/problem_maker.h"
#include "host/feature_host.h"
#include "host/shortcuts.h"
#include "host/window_menu.h"

Replay::Replay(FeatureHost& host) : host_(host), port_(host.port()) {
  port_.subscribe(this);
  const ShortcutInfo& entry = shortcutInfo(shortcut::Replay);
  host_.menu().add(entry.japanese, QKeySequence(entry.key), [this] { replayLast(); });
  host_.setReplay([this](const ProblemRecord& p) { return replay(p); });
}

Replay::~Replay() {
  host_.setReplay({});
  port_.unsubscribe(this);
}

bool Replay::refuse(const QString& why) {
  host_.note(why);
  return false;
}

bool Replay::replay(const ProblemRecord& problem) {
  if (!port_.canStart())
    return refuse(
        QStringLiteral("練習中はもう一度の出題ができません。終わってから選んでください。"));
  DrillSettings s = port_.settings();
  const DrillSettings& was = problem.settings;
  s.longest = was.longest;
  s.shortest = was.shortest;
  s.mix = was.mix;
  s.terms = static_cast<int>(problem.numbers.size());
  s.pace = was.pace;
  s.extension = was.extension;
  s.grouping = was.grouping;
  s.runLength = 1;
  s.mode = was.mode == AnswerMode::Automatic ? AnswerMode::Automatic : AnswerMode::Manual;
  // The panel keeps its own rules; the draws are worked out for what it took.
  port_.lendSettings(s);
  const std::optional<std::deque<float>> draws =
      drawsFor(numberRules(port_.settings()), {problem.numbers.begin(), problem.numbers.end()});
  if (!draws) {
    port_.takeBackSettings();
    return refuse(QStringLiteral("この問題は同じ数字で出し直せません。"));
  }
  // The learner watches and types on the main window, wherever the replay was chosen.
  QWidget* window = port_.widget();
  if (window->isMinimized()) window->showNormal();
  window->raise();
  window->activateWindow();
  port_.scriptDraws(*draws);
  HistoryApi* records = host_.records();
  const RecordContext saved = records ? records->context() : RecordContext{};
  if (records) records->setContext({RecordContext::Kind::Replay, {}, 0});
  terms_ = s.terms;
  starting_ = true;
  port_.pressStart();
  starting_ = false;
  if (records) records->setContext(saved);
  if (!replaying_) {
    port_.scriptDraws({});
    port_.takeBackSettings();
    return refuse(QStringLiteral("もう一度の出題を始められませんでした。"));
  }
  port_.returnOnNextStart();
  return true;
}

bool Replay::replayLast() {
  const std::optional<ProblemRecord> last =
      host_.records() ? host_.records()->lastProblem() : std::nullopt;
  if (!last) return refuse(QStringLiteral("まだ記録された問題がありません。"));
  return replay(*last);
}

void Replay::onDrillEvent(const DrillEvent& event) {
  using K = DrillEvent::Kind;
  // The replay's own start; a run that ends first (a start in the hand-over) is not it.
  if (starting_ && event.kind == K::Started) replaying_ = true;
  if (!replaying_) return;
  // Other terms would flash other numbers: the replay stops instead.
  if (event.kind == K::SettingsChanged && event.settings.terms != terms_) {
    host_.note(QStringLiteral("口数が変わったので、もう一度の出題を中止しました。"));
    port_.pressAbort();
  }
  // Draws a stopped replay did not use must not shape the next drill.
  if (event.kind == K::Aborted || event.kind == K::RunEnded) {
    port_.scriptDraws({});
    replaying_ = false;
  }
}
