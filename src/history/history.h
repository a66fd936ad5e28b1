// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMap>
#include <memory>

#include "history/drill_recorder.h"
#include "history/history_store.h"
#include "host/records.h"

class DrillPort;
class FeatureHost;

// The learner's history: records every drill on the window, keeps grade
// tests and classes, and answers what the other features ask of it.
class History : public HistoryApi {
 public:
  // Keeps the host's records and hears its marked answers; trouble with the
  // file is told in the host's passing note.
  explicit History(FeatureHost& host, const QString& path = HistoryStore::defaultPath());
  ~History() override;
  History(const History&) = delete;
  History& operator=(const History&) = delete;

  HistoryStore& store() { return store_; }
  DrillRecorder& recorder() { return recorder_; }
  // Where the typed answers are told (see answers/answer_events.h).
  AnswerListener& answerListener() { return recorder_; }
  // Where the learner is told about trouble with the file, once per kind.
  void setNotice(HistoryStore::Notice notice);

  void setContext(const RecordContext& context) override;
  qint64 beginGradeTest(const GradeTestRecord& test) override;
  void finishGradeTest(const GradeTestRecord& test) override;
  QList<GradeTestRecord> gradeTests() const override;
  void putClass(const ClassSessionRecord& session) override;
  void putClassAnswer(const ClassAnswerRecord& answer) override;
  RecordContext context() const override;
  std::optional<ProblemRecord> lastProblem() const override;
  QList<ProblemRecord> problems(const ProblemFilter& filter) const override;
  QList<DayCount> problemsPerDay(const QDate& today, int days) const override;
  QList<PaceAccuracy> accuracyByPace(int digits) const override;
  QMap<int, int> fastestCorrectPace() const override;
  int latestDigits() const override;
  bool exportTo(const QString& path, QString* why) override;

 private:
  void putGradeTest(const GradeTestRecord& test);
  // Hands over what is finished and waits for it to be written, for a read.
  void catchUp() const;

  FeatureHost& host_;
  DrillPort& port_;
  HistoryStore store_;
  mutable DrillRecorder recorder_;
  HistoryStore::Notice notice_;
  QMap<qint64, GradeTestRecord> sessionTests_;  // this session's, in case the file lags
};
