// SPDX-License-Identifier: GPL-3.0-or-later
#include "history/history_export.h"

#include <sys/stat.h>

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <limits>

#include "history/history_schema.h"
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

QString b(bool v) { return v ? QStringLiteral("1") : QStringLiteral("0"); }

// What the export could read of a history file.
struct ReadHistory {
  QList<ProblemRecord> problems;
  QString trouble;  // why it could not be read fully; empty when it was
};

// Whether a read of the table by rowid from `from` on gets past its first row.
bool readsFrom(QSqlQuery& q, qint64 from) {
  q.finish();
  q.prepare(QStringLiteral("SELECT rowid FROM problems WHERE rowid >= ? ORDER BY rowid LIMIT 1"));
  q.addBindValue(from);
  if (!q.exec()) return false;
  q.next();
  return !q.lastError().isValid();
}

// Reads the rows in rowid order as far as they go. Past a damaged page the
// read goes on from the first rowid that can be reached again: found by
// leaps of growing length and then by halving, so that a few dozen seeks
// step over the damage wherever the pages of a run of ids lie in the file.
// Returns the first error met; empty when the table read whole.
QString readRowsAround(QSqlQuery& q, QList<ProblemRecord>& rows) {
  constexpr qint64 kLast = std::numeric_limits<qint64>::max();
  QString trouble;
  qint64 from = 0;  // ids are positive
  for (;;) {
    q.finish();
    q.prepare(QStringLiteral("SELECT * FROM problems WHERE rowid >= ? ORDER BY rowid"));
    q.addBindValue(from);
    if (q.exec())
      while (q.next()) {
        rows << HistoryStore::problemFrom(q);
        from = rows.last().id < kLast ? rows.last().id + 1 : kLast;
      }
    if (!q.lastError().isValid() || from == kLast) break;
    if (trouble.isEmpty()) trouble = q.lastError().text();
    // `from` is in the damage; leap until a read gets through again.
    qint64 bad = from;
    qint64 good = 0;
    for (quint64 leap = 1;; leap *= 2) {
      good = leap > quint64(kLast - bad) ? kLast : bad + qint64(leap);
      if (readsFrom(q, good)) break;
      if (good == kLast) return trouble;
      bad = good;
    }
    while (good - bad > 1) {
      const qint64 mid = bad + (good - bad) / 2;
      (readsFrom(q, mid) ? good : bad) = mid;
    }
    from = good;
  }
  return trouble;
}

// Reads the history through a read-only connection of its own. A file that
// no running copy has open is read as immutable, so that not even SQLite's
// side files are created beside it. Rows are read in the table's own order
// (no index is trusted), around any damage, and sorted here.
ReadHistory readHistoryFile(const QString& path) {
  ReadHistory out;
  const QFileInfo info(path);
  if (!info.exists()) return out;
  if (!info.isFile()) {
    out.trouble = QStringLiteral("it is not a file");
    return out;
  }
  static std::atomic<int> count{0};
  const QString name = QStringLiteral("pelatto-export-%1").arg(++count);
  {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
    const bool inUse = QFileInfo::exists(path + QStringLiteral("-wal")) ||
                       QFileInfo::exists(path + QStringLiteral("-journal"));
    db.setDatabaseName(
        QUrl::fromLocalFile(info.absoluteFilePath()).toString(QUrl::FullyEncoded) +
        (inUse ? QStringLiteral("?mode=ro") : QStringLiteral("?mode=ro&immutable=1")));
    db.setConnectOptions(
        QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=3000"));
    QSqlQuery q(db);
    q.setForwardOnly(true);
    bool rows = false;  // whether the rows are worth reading
    if (!db.open()) {
      out.trouble = db.lastError().text();
    } else if (!q.exec(QStringLiteral("PRAGMA user_version")) || !q.next()) {
      out.trouble = q.lastError().text();
    } else if (q.value(0).toInt() > history_schema::currentVersion()) {
      out.trouble =
          QStringLiteral("it was made by a newer version of Pelatto; export it with that version");
    } else {
      // A damaged file is still read as far as it goes: the learner may ask for that.
      rows = true;
      q.finish();
      if (!q.exec(QStringLiteral("PRAGMA quick_check(1)")) || !q.next())
        out.trouble = q.lastError().text();
      else if (q.value(0).toString() != QLatin1String("ok"))
        out.trouble = q.value(0).toString();
    }
    if (rows) {
      // A damaged schema still lets the table be read; no index is trusted.
      q.finish();
      q.exec(QStringLiteral("PRAGMA writable_schema = ON"));
      const QString damage = readRowsAround(q, out.problems);
      if (out.trouble.isEmpty()) out.trouble = damage;
    }
  }
  QSqlDatabase::removeDatabase(name);
  std::stable_sort(out.problems.begin(), out.problems.end(), [](const auto& x, const auto& y) {
    return std::pair(x.at.toMSecsSinceEpoch(), x.id) < std::pair(y.at.toMSecsSinceEpoch(), y.id);
  });
  return out;
}

// Where the CSV goes, opened for writing: a regular file (or a new one)
// through a file written beside it and renamed over it, a FIFO or a
// character device in place, "-" as standard output. Empty when refused,
// with the reason in `why`.
std::unique_ptr<QFileDevice> openTarget(const QString& target, QString& why) {
  if (target == QLatin1String("-")) {
    auto out = std::make_unique<QFile>();
    if (!out->open(stdout, QIODevice::WriteOnly)) why = out->errorString();
    return out;
  }
  struct stat st {};
  if (stat(QFile::encodeName(target).constData(), &st) != 0 || S_ISREG(st.st_mode)) {
    // QSaveFile follows a symbolic link and replaces the file it points to.
    auto out = std::make_unique<QSaveFile>(target);
    if (!out->open(QIODevice::WriteOnly)) why = out->errorString();
    return out;
  }
  if (S_ISDIR(st.st_mode)) {
    why = QStringLiteral("it is a folder; give a file name");
    return nullptr;
  }
  if (!S_ISFIFO(st.st_mode) && !S_ISCHR(st.st_mode)) {
    why = QStringLiteral("it is neither a file, a FIFO nor a character device");
    return nullptr;
  }
  // Never created, never truncated, never renamed: what it is stays what it is.
  auto out = std::make_unique<QFile>(target);
  if (!out->open(QIODevice::WriteOnly | QIODevice::ExistingOnly | QIODevice::Unbuffered))
    why = out->errorString();
  return out;
}

}  // namespace

QStringList problemFields(const ProblemRecord& r) {
  const DrillSettings& s = r.settings;
  const QDateTime at = r.at.toOffsetFromUtc(r.at.offsetFromUtc());
  return {QString::number(r.id),
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
          storedMarkName(r.mark),
          b(r.aborted),
          kindName(r.kind),
          QString::number(r.testId),
          QString::number(r.seriesMs, 'f', 3)};
}

std::optional<ProblemRecord> problemFromFields(const QStringList& f) {
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
  r.mark = markFromStoredName(f[15]);
  r.aborted = f[16] == QLatin1String("1");
  r.kind = kindFromName(f[17]);
  r.testId = f[18].toLongLong();
  r.seriesMs = f[19].toDouble();
  return r;
}

QString csvLine(const QStringList& fields) {
  QStringList quoted;
  for (const QString& f : fields) quoted << field(f);
  return quoted.join(QLatin1Char(','));
}

// Quoted fields may hold commas and doubled quotes.
QStringList splitCsvLine(const QString& line) {
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

void writeHistoryCsv(const QList<ProblemRecord>& problems, QTextStream& out) {
  out.setEncoding(QStringConverter::Utf8);
  out << kHeader.join(QLatin1Char(',')) << "\r\n";
  for (const ProblemRecord& r : problems) out << csvLine(problemFields(r)) << "\r\n";
}

std::optional<QList<ProblemRecord>> readHistoryCsv(const QString& text) {
  QStringList lines = text.split(QStringLiteral("\r\n"));
  if (lines.isEmpty() || splitCsvLine(lines.takeFirst()) != kHeader) return std::nullopt;
  QList<ProblemRecord> out;
  for (const QString& line : lines) {
    if (line.isEmpty()) continue;
    const std::optional<ProblemRecord> r = problemFromFields(splitCsvLine(line));
    if (!r) return std::nullopt;
    out << *r;
  }
  return out;
}

int exportHistoryToFile(const QString& target, QTextStream& err, ExportOptions options) {
  return exportHistoryToFile(HistoryStore::defaultPath(), target, err, options);
}

int exportHistoryToFile(const QString& historyPath, const QString& target, QTextStream& err,
                        ExportOptions options) {
  // With no history yet the file has just its header; none is created.
  const ReadHistory read = readHistoryFile(historyPath);
  const bool whole = read.trouble.isEmpty();
  if (!whole) {
    err << "pelatto: the history " << historyPath << " cannot be read fully (" << read.trouble
        << "); " << read.problems.size() << " problems could be read. The file is left as it is.\n";
    if (!options.partial) {
      err << "pelatto: nothing was written. To write the problems that could be read, run "
             "again with --partial added.\n";
      return 1;
    }
  }
  QString why;
  const std::unique_ptr<QFileDevice> file = openTarget(target, why);
  if (!why.isEmpty()) {
    err << "pelatto: cannot write " << target << ": " << why << "\n";
    return 1;
  }
  QTextStream out(file.get());
  writeHistoryCsv(read.problems, out);
  out.flush();
  bool written = out.status() == QTextStream::Ok && file->flush();
  if (auto* save = dynamic_cast<QSaveFile*>(file.get())) written = save->commit() && written;
  if (!written) {
    err << "pelatto: cannot write " << target << ": " << file->errorString() << "\n";
    return 1;
  }
  err << "pelatto: " << read.problems.size() << " problems written to " << target
      << (whole ? "\n" : " (only what could be read)\n");
  return whole ? 0 : 1;
}
