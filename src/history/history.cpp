// SPDX-License-Identifier: GPL-3.0-or-later
#include "history/history.h"

#include <QTextStream>
#include <algorithm>

#include "history/history_export.h"
#include "history/history_queries.h"
#include "host/feature_host.h"

History::History(FeatureHost& host, const QString& path)
    : host_(host), port_(host.port()), store_(path), recorder_(store_) {
  // A problem is recorded once everything else has heard of it (its mark above all).
  port_.subscribe(&recorder_, DrillPort::Stage::Records);
  host_.answers().subscribe(&recorder_);
  host_.setRecords(this);
  setNotice([&host](const QString& text) { host.note(text); });
}

History::~History() {
  host_.setRecords(nullptr);
  host_.answers().unsubscribe(&recorder_);
  port_.unsubscribe(&recorder_);
  recorder_.writeNow();
}

void History::setNotice(HistoryStore::Notice notice) {
  notice_ = notice;
  store_.setNotice(std::move(notice));
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

RecordContext History::context() const { return recorder_.context(); }

std::optional<ProblemRecord> History::lastProblem() const {
  if (std::optional<ProblemRecord> last = recorder_.lastProblem()) return last;
  const QList<ProblemRecord> newest = store_.problems({0, 0, 1});
  if (newest.isEmpty()) return std::nullopt;
  return newest.first();
}

void History::catchUp() const {
  // Problems finished since the last write are written first, unless numbers are flashing.
  recorder_.writeNow();
  store_.waitForWrites();
}

QList<ProblemRecord> History::problems(const ProblemFilter& filter) const {
  catchUp();
  return store_.problems(filter);
}

QList<DayCount> History::problemsPerDay(const QDate& today, int days) const {
  catchUp();
  return history_queries::problemsPerDay(store_.database(), today, days);
}

QList<PaceAccuracy> History::accuracyByPace(int digits) const {
  catchUp();
  return history_queries::accuracyByPace(store_.database(), digits);
}

QMap<int, int> History::fastestCorrectPace() const {
  catchUp();
  return history_queries::fastestCorrectPace(store_.database());
}

int History::latestDigits() const {
  catchUp();
  return history_queries::latestDigits(store_.database());
}

bool History::exportTo(const QString& path, QString* why) {
  // The export reads the file through a connection of its own.
  catchUp();
  QString message;
  QTextStream err(&message);
  const bool ok = exportHistoryToFile(store_.path(), path, err) == 0;
  if (!ok) *why = message.trimmed();
  return ok;
}
