#include "history/problem_record.h"

#include <QRandomGenerator>
#include <QStringList>

QString modeName(AnswerMode mode) {
  switch (mode) {
    case AnswerMode::Automatic:
      return QStringLiteral("automatic");
    case AnswerMode::Manual:
      return QStringLiteral("manual");
    case AnswerMode::Later:
      return QStringLiteral("later");
  }
  return {};
}

AnswerMode modeFromName(const QString& name) {
  if (name == QLatin1String("manual")) return AnswerMode::Manual;
  if (name == QLatin1String("later")) return AnswerMode::Later;
  return AnswerMode::Automatic;
}

QString markName(ProblemRecord::Mark mark) {
  switch (mark) {
    case ProblemRecord::Mark::Correct:
      return QStringLiteral("correct");
    case ProblemRecord::Mark::Wrong:
      return QStringLiteral("wrong");
    case ProblemRecord::Mark::None:
      break;
  }
  return QStringLiteral("none");
}

ProblemRecord::Mark markFromName(const QString& name) {
  if (name == QLatin1String("correct")) return ProblemRecord::Mark::Correct;
  if (name == QLatin1String("wrong")) return ProblemRecord::Mark::Wrong;
  return ProblemRecord::Mark::None;
}

QString kindName(RecordContext::Kind kind) {
  switch (kind) {
    case RecordContext::Kind::Replay:
      return QStringLiteral("replay");
    case RecordContext::Kind::Test:
      return QStringLiteral("test");
    case RecordContext::Kind::Practice:
      break;
  }
  return QStringLiteral("practice");
}

RecordContext::Kind kindFromName(const QString& name) {
  if (name == QLatin1String("replay")) return RecordContext::Kind::Replay;
  if (name == QLatin1String("test")) return RecordContext::Kind::Test;
  return RecordContext::Kind::Practice;
}

QString numbersText(const QList<qint64>& numbers) {
  QStringList parts;
  for (qint64 n : numbers) parts << QString::number(n);
  return parts.join(QLatin1Char(' '));
}

QList<qint64> numbersFromText(const QString& text) {
  QList<qint64> out;
  for (const QString& part : text.split(QLatin1Char(' '), Qt::SkipEmptyParts))
    out << part.toLongLong();
  return out;
}

qint64 newRecordId() {
  return static_cast<qint64>(QRandomGenerator::global()->generate64() >> 2) + 1;
}

QString digitsLabel(const DrillSettings& s) {
  if (s.mix == 0 || s.shortest == s.longest) return QStringLiteral("%1桁").arg(s.longest);
  return QStringLiteral("%1～%2桁 混%3").arg(s.shortest).arg(s.longest).arg(s.mix);
}

QString paceLabel(int pace) { return QString::number(pace / 100.0, 'f', 2) + QStringLiteral("秒"); }

QString markLabel(ProblemRecord::Mark mark, bool aborted) {
  if (aborted) return QStringLiteral("中断");
  switch (mark) {
    case ProblemRecord::Mark::Correct:
      return QStringLiteral("○");
    case ProblemRecord::Mark::Wrong:
      return QStringLiteral("×");
    case ProblemRecord::Mark::None:
      break;
  }
  return QStringLiteral("－");
}
