#pragma once

#include <QMap>
#include <memory>

#include "history/drill_recorder.h"
#include "history/history_store.h"
#include "host/records.h"

class DrillPort;
class FeatureHost;

// The learner's history: records every drill on the window, keeps grade
// tests, and replays a recorded problem through the window's own controls.
class History : public HistoryApi, private DrillListener {
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

  // Flashes the problem's numbers again at its settings, recorded as a
  // replay, on the main window brought to the front: one problem, with its
  // answer shown in the same way (a manual answer when the problem was part
  // of an answer-later run). The panel is lent to the replay; the learner's
  // own settings come back at the next start. Returns false (and tells why)
  // when the window is busy or the numbers cannot be made again; a replay
  // whose terms are changed is stopped.
  bool replay(const ProblemRecord& problem);
  bool replayLast();

  void setContext(const RecordContext& context) override;
  qint64 beginGradeTest(const GradeTestRecord& test) override;
  void finishGradeTest(const GradeTestRecord& test) override;
  QList<GradeTestRecord> gradeTests() const override;
  void putClass(const ClassSessionRecord& session) override;
  void putClassAnswer(const ClassAnswerRecord& answer) override;

 private:
  void onDrillEvent(const DrillEvent& event) override;
  void putGradeTest(const GradeTestRecord& test);

  FeatureHost& host_;
  DrillPort& port_;
  HistoryStore store_;
  DrillRecorder recorder_;
  HistoryStore::Notice notice_;
  QMap<qint64, GradeTestRecord> sessionTests_;  // this session's, in case the file lags
  bool replaying_ = false;                      // from the replay's start to its end
  bool starting_ = false;                       // the replay is pressing start
  int replayTerms_ = 0;
};
