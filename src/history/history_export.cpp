#include "history/history_export.h"

#include <QFileInfo>
#include <QSaveFile>
#include <QStringList>

#include "history/history_store.h"

namespace {

const QStringList kHeader{"id",         "date_time",    "longest",   "shortest", "mix",
                          "terms",      "pace_seconds", "extension", "grouping", "answer_mode",
                          "run_length", "run_position", "numbers",   "total",    "answer",
                          "mark",       "aborted",      "kind",      "test_id",  "series_ms"};

QString field(const QString& s) {
  if (!s.contains(QLatin1Char(',')) && !s.contains(QLatin1Char('"')) && !s.contains('\n') &&
      !s.contains('\r'))
    return s;
  return QLatin1Char('"') + QString(s).replace(QLatin1String("\""), QLatin1String("\"\"")) +
         QLatin1Char('"');
}

// Splits one line of fields; quoted fields may hold commas and doubled quotes.
QStringList splitLine(const QString& line) {
  QStringList out;
  QString cur;
  bool quoted = false;
  for (qsizetype k = 0; k < line.size(); ++k) {
    const QChar c = line[k];
    if (quoted && c == '"' && k + 1 < line.size() && line[k + 1] == '"') {
      cur += c, ++k;
    } else if (c == '"') {
      quoted = !quoted;
    } else if (c == ',' && !quoted) {
      out << cur, cur.clear();
    } else {
      cur += c;
    }
  }
  return out << cur;
}

QString b(bool v) { return v ? QStringLiteral("1") : QStringLiteral("0"); }

}  // namespace

void writeHistoryCsv(const QList<ProblemRecord>& problems, QTextStream& out) {
  out.setEncoding(QStringConverter::Utf8);
  out << kHeader.join(QLatin1Char(',')) << "\r\n";
  for (const ProblemRecord& r : problems) {
    const DrillSettings& s = r.settings;
    const QDateTime at = r.at.toOffsetFromUtc(r.at.offsetFromUtc());
    const QStringList row{QString::number(r.id),
                          at.toString(Qt::ISODateWithMs),
                          QString::number(s.longest),
                          QString::number(s.shortest),
                          QString::number(s.mix),
                          QString::number(s.terms),
                          QString::number(s.pace / 100.0, 'f', 2),
                          QString::number(s.extension),
                          b(s.grouping),
                          modeName(s.mode),
                          QString::number(s.runLength),
                          QString::number(r.runPosition),
                          numbersText(r.numbers),
                          QString::number(r.total),
                          r.answer ? QString::number(*r.answer) : QString(),
                          markName(r.mark),
                          b(r.aborted),
                          kindName(r.kind),
                          QString::number(r.testId),
                          QString::number(r.seriesMs, 'f', 3)};
    QStringList fields;
    for (const QString& f : row) fields << field(f);
    out << fields.join(QLatin1Char(',')) << "\r\n";
  }
}

std::optional<QList<ProblemRecord>> readHistoryCsv(const QString& text) {
  QStringList lines = text.split(QStringLiteral("\r\n"));
  if (lines.isEmpty() || splitLine(lines.takeFirst()) != kHeader) return std::nullopt;
  QList<ProblemRecord> out;
  for (const QString& line : lines) {
    if (line.isEmpty()) continue;
    const QStringList f = splitLine(line);
    if (f.size() != kHeader.size()) return std::nullopt;
    ProblemRecord r;
    r.id = f[0].toLongLong();
    r.at = QDateTime::fromString(f[1], Qt::ISODateWithMs);
    DrillSettings& s = r.settings;
    s.longest = f[2].toInt();
    s.shortest = f[3].toInt();
    s.mix = f[4].toInt();
    s.terms = f[5].toInt();
    s.pace = static_cast<int>(std::lround(f[6].toDouble() * 100));
    s.extension = f[7].toInt();
    s.grouping = f[8] == QLatin1String("1");
    s.mode = modeFromName(f[9]);
    s.runLength = f[10].toInt();
    r.runPosition = f[11].toInt();
    r.numbers = numbersFromText(f[12]);
    r.total = f[13].toLongLong();
    if (!f[14].isEmpty()) r.answer = f[14].toLongLong();
    r.mark = markFromName(f[15]);
    r.aborted = f[16] == QLatin1String("1");
    r.kind = kindFromName(f[17]);
    r.testId = f[18].toLongLong();
    r.seriesMs = f[19].toDouble();
    out << r;
  }
  return out;
}

int exportHistoryToFile(const QString& path, QTextStream& err) {
  return exportHistoryToFile(HistoryStore::defaultPath(), path, err);
}

int exportHistoryToFile(const QString& historyPath, const QString& path, QTextStream& err) {
  QList<ProblemRecord> problems;
  // With no history yet the file has just its header; none is created.
  if (QFileInfo::exists(historyPath)) {
    HistoryStore store(historyPath, [&err](const QString& text) { err << text << "\n"; });
    if (!store.database().isValid()) {
      err << "pelatto: cannot read the history " << historyPath << "\n";
      return 1;
    }
    problems = store.problems({});
  }
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) {
    err << "pelatto: cannot write " << path << ": " << file.errorString() << "\n";
    return 1;
  }
  QTextStream out(&file);
  writeHistoryCsv(problems, out);
  out.flush();
  if (!file.commit()) {
    err << "pelatto: cannot write " << path << ": " << file.errorString() << "\n";
    return 1;
  }
  err << "pelatto: " << problems.size() << " problems written to " << path << "\n";
  return 0;
}
