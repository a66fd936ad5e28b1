// SPDX-License-Identifier: GPL-3.0-or-later
#include "grades/grade_test.h"

#include <QDateTime>

#include "engine/drill_timing.h"
#include "grades/grade_marking.h"
#include "grades/grade_window.h"
#include "host/drill_port.h"

GradeTest::GradeTest(DrillPort& port, HistoryApi* history)
    : port_(port), history_(history), window_(std::make_unique<GradeWindow>(port)) {
  window_->onStart = [this] { start(); };
  window_->onClose = [this] {
    if (state_ == State::Ready) state_ = State::Idle;
  };
  port_.subscribe(this);
}

GradeTest::~GradeTest() { port_.unsubscribe(this); }

DrillSettings GradeTest::settingsFor(const Grade& grade, DrillSettings s) {
  s.longest = s.shortest = grade.digits;
  s.mix = 0;
  s.terms = grade.terms;
  s.pace = paceFor(grade.terms, grade.officialMs).value_or(kSlowestPace);
  s.extension = 0;
  s.runLength = kTestProblems;
  s.mode = AnswerMode::Later;
  return s;
}

bool GradeTest::keepsGrade(const DrillSettings& s, const Grade& grade) {
  const DrillSettings want = settingsFor(grade, s);
  return s == want;
}

void GradeTest::prepare(const Ladder& ladder, const Grade& grade) {
  if (state_ == State::Running || state_ == State::Marking)
    abandon(QStringLiteral("別の級・段位が選ばれました"));
  ladder_ = ladder;
  grade_ = grade;
  state_ = State::Ready;
  if (!port_.canStart()) port_.pressAbort();
  port_.applySettings(settingsFor(grade, port_.settings()));
  const int pace = settingsFor(grade, {}).pace;
  window_->showPlan(
      grade.name + QStringLiteral("　認定試験"),
      {ladder.name,
       QStringLiteral("%1 桁・%2 口・%3 問").arg(grade.digits).arg(grade.terms).arg(kTestProblems),
       QStringLiteral("規定の時間: %1 秒").arg(secondsText(grade.officialMs)),
       QStringLiteral("この試験の時間: %1 秒（1 口 %2 秒）")
           .arg(secondsText(drill_timing::seriesMs(grade.terms, pace)), secondsText(pace * 10))},
      QStringLiteral("答えは %1 問とも入力し、最後に「答」で採点します。").arg(kTestProblems));
}

void GradeTest::start() {
  if (state_ != State::Ready) return;
  if (!port_.canStart()) port_.pressAbort();
  port_.applySettings(settingsFor(grade_, port_.settings()));
  record_ = GradeTestRecord{};
  record_.startedAt = QDateTime::currentDateTime();
  record_.ladder = ladder_.name;
  record_.grade = grade_.name;
  record_.problems = kTestProblems;
  if (history_) {
    record_.id = history_->beginGradeTest(record_);
    history_->setContext({RecordContext::Kind::Test, grade_.name, record_.id});
  }
  answers_ = QList<std::optional<bool>>(kTestProblems);
  started_ = false;
  state_ = State::Running;
  window_->hide();
  port_.widget()->activateWindow();
  port_.pressStart();
}

void GradeTest::onDrillEvent(const DrillEvent& e) {
  using K = DrillEvent::Kind;
  if (state_ != State::Running && state_ != State::Marking) return;
  switch (e.kind) {
    case K::Started:
      // The test's own start; any later one leaves the test's numbers behind.
      if (started_ || !keepsGrade(e.settings, grade_))
        abandon(QStringLiteral("試験の途中で新しい練習が始まりました"));
      else
        started_ = true;
      break;
    case K::SettingsChanged:
      // What the test's own start set is heard before its Started.
      if (started_ && !keepsGrade(e.settings, grade_))
        abandon(QStringLiteral("試験で決まっている設定が変わりました"));
      break;
    case K::Aborted:
      if (started_) abandon(QStringLiteral("試験が中止されました"));
      break;
    case K::Closed:
      closing_ = true;
      abandon(QStringLiteral("ウィンドウが閉じられました"));
      break;
    case K::RunEnded:
      if (started_ && state_ == State::Running) state_ = State::Marking;
      break;
    default:
      break;
  }
}

void GradeTest::onAnswerMarked(const MarkedAnswer& a) {
  if (!started_ || (state_ != State::Running && state_ != State::Marking)) return;
  if (a.problem < 0 || a.problem >= answers_.size()) return;
  answers_[a.problem] = a.correct();
  for (const std::optional<bool>& seen : answers_)
    if (!seen) return;
  finish();
}

int GradeTest::correctSoFar() const {
  int correct = 0;
  for (const std::optional<bool>& a : answers_) correct += a.value_or(false) ? 1 : 0;
  return correct;
}

void GradeTest::finish() {
  record_.correct = correctSoFar();
  record_.result = verdict(record_.correct);
  end(QStringLiteral("%1 点　%2").arg(record_.correct * kPointsPerProblem).arg(record_.result),
      QStringLiteral("%1 問中 %2 問正解").arg(kTestProblems).arg(record_.correct));
}

void GradeTest::abandon(const QString& why) {
  record_.correct = correctSoFar();
  record_.result = kAbandoned;
  end(kAbandoned, why);
}

// Records the outcome and shows it with the highest grade passed.
void GradeTest::end(const QString& outcome, const QString& detail) {
  state_ = State::Idle;
  started_ = false;
  QString highest;
  if (history_) {
    if (record_.id != 0) history_->finishGradeTest(record_);
    history_->setContext({});
    const QString best = highestPassed(ladder_, history_->gradeTests());
    highest = best.isEmpty() ? QStringLiteral("合格した段位はまだありません")
                             : QStringLiteral("最高合格: ") + best;
  }
  if (!closing_) window_->showOutcome(outcome, detail, highest);
}
