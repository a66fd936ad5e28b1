#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>

#include "answers/marks.h"
#include "engine/drill_events.h"
#include "host/records.h"

// One problem as the learner met it, as the history keeps it.
struct ProblemRecord {
  using Mark = ::Mark;

  qint64 id = 0;  // chosen when the problem begins, unique across running copies
  QDateTime at;   // when its countdown ended
  DrillSettings settings;
  int runPosition = 0;    // the problem's place in its run, from 0
  QList<qint64> numbers;  // in the order they were shown
  qint64 total = 0;
  std::optional<qint64> answer;  // what the learner typed, if anything
  Mark mark = Mark::None;
  bool aborted = false;  // stopped before its total
  RecordContext::Kind kind = RecordContext::Kind::Practice;
  qint64 testId = 0;
  double seriesMs = 0;  // first number's appearance to the last one's disappearance

  bool operator==(const ProblemRecord&) const = default;
};

// Names as the database and the exported file write them.
QString modeName(AnswerMode mode);
AnswerMode modeFromName(const QString& name);
QString kindName(RecordContext::Kind kind);
RecordContext::Kind kindFromName(const QString& name);
QString numbersText(const QList<qint64>& numbers);  // "12 7 345"
QList<qint64> numbersFromText(const QString& text);

// How the progress window shows them, in the window's language.
QString digitsLabel(const DrillSettings& s);  // "3桁" or "2～5桁 混3"
QString paceLabel(int pace);                  // "0.50秒"
