// SPDX-License-Identifier: GPL-3.0-or-later
#include "history/history_journal.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>
#include <QTextStream>

#include "history/history_export.h"

namespace {

const QString kFirstLine = QStringLiteral("pelatto-recovery,1");

QStringList fieldsOf(const HistoryItem& item) {
  if (const auto* r = std::get_if<ProblemRecord>(&item))
    return QStringList{QStringLiteral("problem")} + problemFields(*r);
  if (const auto* u = std::get_if<AnswerUpdate>(&item))
    return {QStringLiteral("answer"), QString::number(u->id),
            u->answer ? QString::number(*u->answer) : QString(), storedMarkName(u->mark)};
  const auto& t = std::get<GradeTestRecord>(item);
  return {QStringLiteral("test"),
          QString::number(t.id),
          QString::number(t.startedAt.toMSecsSinceEpoch()),
          t.ladder,
          t.grade,
          QString::number(t.problems),
          QString::number(t.correct),
          t.result};
}

std::optional<HistoryItem> itemOf(QStringList f) {
  const QString kind = f.isEmpty() ? QString() : f.takeFirst();
  if (kind == QLatin1String("problem")) {
    if (auto r = problemFromFields(f)) return *r;
  } else if (kind == QLatin1String("answer") && f.size() == 3) {
    AnswerUpdate u{f[0].toLongLong(), std::nullopt, markFromStoredName(f[2])};
    if (!f[1].isEmpty()) u.answer = f[1].toLongLong();
    return u;
  } else if (kind == QLatin1String("test") && f.size() == 7) {
    GradeTestRecord t;
    t.id = f[0].toLongLong();
    t.startedAt = QDateTime::fromMSecsSinceEpoch(f[1].toLongLong());
    t.ladder = f[2];
    t.grade = f[3];
    t.problems = f[4].toInt();
    t.correct = f[5].toInt();
    t.result = f[6];
    return t;
  }
  return std::nullopt;
}

}  // namespace

QString journalPath(const QString& historyPath) {
  return historyPath + QStringLiteral(".recovery");
}

bool writeJournal(const QString& path, const std::deque<HistoryItem>& items, QString* why) {
  QSaveFile file(path);
  if (file.open(QIODevice::WriteOnly)) {
    QTextStream out(&file);
    out.setEncoding(QStringConverter::Utf8);
    out << kFirstLine << '\n';
    for (const HistoryItem& item : items) out << csvLine(fieldsOf(item)) << '\n';
    out.flush();
    if (out.status() == QTextStream::Ok && file.commit()) return true;
  }
  *why = file.errorString();
  return false;
}

JournalRead readJournal(const QString& path) {
  JournalRead out;
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    out.unreadable = 1;
    return out;
  }
  QStringDecoder utf8(QStringDecoder::Utf8);
  const QStringList lines = QString(utf8.decode(file.readAll())).split(QLatin1Char('\n'));
  if (utf8.hasError() || lines.value(0) != kFirstLine) {
    out.unreadable = static_cast<int>(lines.size());
    return out;
  }
  for (qsizetype k = 1; k < lines.size(); ++k) {
    if (lines[k].isEmpty()) continue;
    if (std::optional<HistoryItem> item = itemOf(splitCsvLine(lines[k])))
      out.items.push_back(std::move(*item));
    else
      ++out.unreadable;
  }
  return out;
}
