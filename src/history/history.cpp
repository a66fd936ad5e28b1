#include "history/history.h"

#include <QKeySequence>
#include <QWidget>
#include <algorithm>

#include "engine/problem_maker.h"
#include "host/feature_host.h"
#include "host/shortcuts.h"
#include "host/window_menu.h"

History::History(FeatureHost& host, const QString& path)
    : host_(host), port_(host.port()), store_(path), recorder_(store_) {
  // A problem is recorded once everything else has heard of it (its mark above all).
  port_.subscribe(&recorder_, DrillPort::Stage::Records);
  port_.subscribe(this);
  host_.answers().subscribe(&recorder_);
  host_.setRecords(this);
  setNotice([&host](const QString& text) { host.note(text); });
  const ShortcutInfo& replay = shortcutInfo(shortcut::Replay);
  host_.menu().add(replay.japanese, QKeySequence(replay.key), [this] { replayLast(); });
}

History::~History() {
  host_.setRecords(nullptr);
  host_.answers().unsubscribe(&recorder_);
  port_.unsubscribe(this);
  port_.unsubscribe(&recorder_);
  recorder_.writeNow();
}

void History::setNotice(HistoryStore::Notice notice) {
  notice_ = notice;
  store_.setNotice(std::move(notice));
}

bool History::replay(const ProblemRecord& problem) {
  const auto refuse = [this](const QString& why) {
    if (notice_) notice_(why);
    return false;
  };
  if (!port_.canStart() || recorder_.flashing())
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
  // The learner's own settings come back at the next start.
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
  const RecordContext saved = recorder_.context();
  recorder_.setContext({RecordContext::Kind::Replay, {}, 0});
  replayTerms_ = s.terms;
  starting_ = true;
  port_.pressStart();
  starting_ = false;
  recorder_.setContext(saved);
  if (!replaying_) {
    port_.scriptDraws({});
    port_.takeBackSettings();
    return refuse(QStringLiteral("もう一度の出題を始められませんでした。"));
  }
  port_.returnOnNextStart();
  return true;
}

bool History::replayLast() {
  if (const std::optional<ProblemRecord> last = recorder_.lastProblem()) return replay(*last);
  const QList<ProblemRecord> newest = store_.problems({0, 0, 1});
  if (newest.isEmpty()) {
    if (notice_) notice_(QStringLiteral("まだ記録された問題がありません。"));
    return false;
  }
  return replay(newest.first());
}

void History::onDrillEvent(const DrillEvent& event) {
  using K = DrillEvent::Kind;
  // The replay's own start; a run that ends first (a start in the hand-over) is not it.
  if (starting_ && event.kind == K::Started) replaying_ = true;
  if (!replaying_) return;
  // Other terms would flash other numbers: the replay stops instead.
  if (event.kind == K::SettingsChanged && event.settings.terms != replayTerms_) {
    if (notice_) notice_(QStringLiteral("口数が変わったので、もう一度の出題を中止しました。"));
    port_.pressAbort();
  }
  // Draws a stopped replay did not use must not shape the next drill.
  if (event.kind == K::Aborted || event.kind == K::RunEnded) {
    port_.scriptDraws({});
    replaying_ = false;
  }
}

void History::setContext(const RecordContext& context) { recorder_.setContext(context); }

qint64 History::beginGradeTest(const GradeTestRecord& test) {
  if (!store_.recording()) return 0;
  GradeTestRecord t = test;
  t.id = newRecordId();
  if (!t.startedAt.isValid()) t.startedAt = QDateTime::currentDateTime();
  putGradeTest(t);
  return t.id;
}

void History::finishGradeTest(const GradeTestRecord& test) {
  if (test.id == 0 || !store_.recording()) return;
  GradeTestRecord t = test;
  if (!t.startedAt.isValid())
    t.startedAt = sessionTests_.value(t.id, t).startedAt.isValid()
                      ? sessionTests_.value(t.id).startedAt
                      : QDateTime::currentDateTime();
  putGradeTest(t);
}

void History::putGradeTest(const GradeTestRecord& test) {
  sessionTests_.insert(test.id, test);
  store_.putGradeTest(test);
  recorder_.writeNow();
}

QList<GradeTestRecord> History::gradeTests() const {
  QList<GradeTestRecord> all = store_.gradeTests();
  for (const GradeTestRecord& t : sessionTests_) {
    auto same = std::find_if(all.begin(), all.end(), [&](const auto& s) { return s.id == t.id; });
    if (same != all.end())
      *same = t;
    else
      all << t;
  }
  std::stable_sort(all.begin(), all.end(),
                   [](const auto& a, const auto& b) { return a.startedAt > b.startedAt; });
  return all;
}

void History::putClass(const ClassSessionRecord& session) {
  store_.putClass(session);
  store_.flush();
}

void History::putClassAnswer(const ClassAnswerRecord& answer) { store_.putClass(answer); }
