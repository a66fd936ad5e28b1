// SPDX-License-Identifier: GPL-3.0-or-later
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <QApplication>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTemporaryFile>

#include "answers/typed_answers.h"
#include "harness.h"
#include "history/history.h"
#include "history/history_export.h"
#include "history/history_journal.h"
#include "history/history_schema.h"

// Whatever happens to the history file, the drill goes on, the learner is
// told once, and no earlier record is lost.

namespace {

QByteArray bytes(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// One session of the program: a window, its history, one or more drills.
struct Session : Hosted {
  TypedAnswers answers{host};
  History history;
  QStringList notices;
  explicit Session(const QString& path) : history(host, path) {
    history.setNotice([this](const QString& t) { notices << t; });
    history.store().setBusyTimeoutMs(20);
  }
  // One drill from start to its end, its problem handed over and, unless
  // told otherwise, written; the total that the learner was shown.
  QString drill(bool waitForWrites = true) {
    h.play("cmdStart");
    h.clock.advanceUntil([&] { return !h->events.inDrill(); }, 600'000);
    QCoreApplication::processEvents();
    if (waitForWrites) history.store().waitForWrites();
    return h->lbl2.Visible() ? h->lbl2.Caption() : QString();
  }
  int stored() { return static_cast<int>(history.store().problems({}).size()); }
  int drilled() { return drill(), stored(); }
  bool toldOnce(const QString& w) const { return notices.size() == 1 && notices[0].contains(w); }
};

// Another connection to the same file, as a second copy of the program has.
struct OtherCopy {
  QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "other-copy");
  explicit OtherCopy(const QString& path) { db.setDatabaseName(path), db.open(); }
  ~OtherCopy() { db.close(), db = {}, QSqlDatabase::removeDatabase("other-copy"); }
  bool exec(const QString& sql) { return QSqlQuery(db).exec(sql); }
  int count() {
    QSqlQuery q(db);
    return q.exec("SELECT count(*) FROM problems") && q.next() ? q.value(0).toInt() : -1;
  }
};

// What the program writes to a file descriptor (1, 2) while this lives.
struct Captured {
  QTemporaryFile file;
  int fd;
  int saved = (std::fflush(nullptr), dup(fd));
  explicit Captured(int which) : fd(which) {
    if (file.open()) dup2(file.handle(), fd);
  }
  ~Captured() { std::fflush(nullptr), dup2(saved, fd), close(saved); }
  QByteArray text() { return std::fflush(nullptr), bytes(file.fileName()); }
};

// Ids drawn as the program draws them, from a fixed seed: the pages of a
// run of ids lie anywhere in the file.
QList<ProblemRecord> someProblems(int count, quint32 seed) {
  QRandomGenerator ids(seed);
  QList<ProblemRecord> out(count);
  for (int k = 0; k < count; ++k) {
    ProblemRecord& r = out[k];
    r.id = static_cast<qint64>(ids.generate64() >> 2) + 1, r.total = 3 * k + 2;
    r.at = QDateTime::fromMSecsSinceEpoch(1'800'000'000'000 + k * 1000);
    r.numbers = {k + 1, 2 * k + 1};
  }
  return out;
}

// An export: its target, whether the history is damaged, the exit code, a
// word of what it says, and the rows written and read back (-1: not looked at).
using ExportRow = std::tuple<QString, bool, int, QString, int>;
// A way to stop a drill.
using Stop = std::function<void(Session&)>;

}  // namespace

class HistoryFaultsTest : public QObject {
  Q_OBJECT
  std::optional<QTemporaryDir> dir_;  // a fresh folder for each test and row
  QString path_;                      // the history in it

 private slots:
  void init() { path_ = dir_.emplace().filePath("history.sqlite"); }
  void faults_data() {
    // a word of the one notice
    columns<QString, QString>("fault", "told");
    for (auto [name, fault, told] : {std::tuple{"locked by another copy", "locked", "使用中"},
                                     {"read-only", "read-only", "読み取り専用"},
                                     {"truncated to half", "half", "壊れて"},
                                     {"truncated to its first bytes", "stub", "壊れて"},
                                     {"from a newer version", "newer", "新しい版"},
                                     {"removed while running", "removed", "消されたか移された"}})
      QTest::newRow(name) << QString(fault) << QString(told);
  }
  void faults() {
    auto [fault, told] = fetch<QString, QString>("fault", "told");
    QCOMPARE(Session(path_).drilled(), 1);
    std::optional<OtherCopy> other;
    if (fault == "locked") {
      QVERIFY(other.emplace(path_).exec("BEGIN EXCLUSIVE"));
    } else if (fault == "read-only") {
      QVERIFY(chmod(qPrintable(path_), 0444) == 0 && chmod(qPrintable(dir_->path()), 0555) == 0);
      // The superuser writes any file; the drill then runs as nobody.
      if (geteuid() == 0) QVERIFY(seteuid(65534) == 0);
    } else if (fault == "half" || fault == "stub") {
      QVERIFY(QFile::resize(path_, fault == "half" ? QFileInfo(path_).size() / 2 : 40));
    } else if (fault == "newer") {
      OtherCopy(path_).exec(
          QStringLiteral("PRAGMA user_version = %1").arg(history_schema::currentVersion() + 1));
    }
    const QByteArray before = bytes(path_);

    Session second(path_);
    const QString total = second.drill();
    if (fault == "removed") QVERIFY(QFile::remove(path_));
    second.drill();
    if (geteuid() != getuid()) QVERIFY(seteuid(0) == 0);
    // The drills ran to their totals and the learner heard of the trouble once.
    QVERIFY(!total.isEmpty());
    // Who holds a lock cannot be known.
    QVERIFY2(second.toldOnce(told) && !second.toldOnce("ほかの Pelatto"),
             qPrintable(second.notices.join('|')));

    if (fault == "locked" || fault == "read-only") {
      // Nothing reached the file; the two problems wait and go in once it is writable.
      QCOMPARE(bytes(path_), before);
      QCOMPARE(second.history.store().queued(), 2);
      other.reset();
      chmod(qPrintable(dir_->path()), 0700), chmod(qPrintable(path_), 0600);
      QCOMPARE(second.drilled(), 4);
      QCOMPARE(second.notices.size(), 1);
    } else if (fault == "removed") {
      // A new file holds the drill after the removal.
      QCOMPARE(second.stored(), 1);
      QCOMPARE(OtherCopy(path_).count(), 1);
    } else if (fault == "newer") {
      QCOMPARE(bytes(path_), before);
      QVERIFY(!second.history.store().recording());
      QCOMPARE(second.history.beginGradeTest({}), 0);
    } else {
      // The damaged file sits beside the new one, untouched.
      const QStringList aside = QDir(dir_->path()).entryList({"history.sqlite.corrupt-*"});
      QCOMPARE(aside.size(), 1);
      QCOMPARE(bytes(dir_->filePath(aside.first())), before);
      QVERIFY(second.notices.first().contains(aside.first()));
      QCOMPARE(second.stored(), 2);
    }
  }

  // A problem finished while another copy holds the file: the window goes on
  // at once, the writer waits for the lock, and writes as soon as it goes.
  void lockedWhileFinishing() {
    Session s(path_);
    s.history.store().setBusyTimeoutMs(60'000);
    s.drill();
    const QList<ProblemRecord> before = s.history.store().problems({});
    QCOMPARE(before.size(), 1);
    OtherCopy other(path_);
    QVERIFY(other.exec("BEGIN EXCLUSIVE"));
    QVERIFY(!s.drill(false).isEmpty());
    // Still waiting for the lock, on a thread of its own.
    QVERIFY(!s.history.store().waitForWrites(50));
    QCOMPARE(other.count(), 1);
    QVERIFY(other.exec("COMMIT"));
    const QList<ProblemRecord> after = s.history.store().problems({});
    QCOMPARE(after.size(), 2);
    QCOMPARE(after.first(), before.first());
    QVERIFY(s.notices.isEmpty());
  }

  // Two copies of the program on one file both keep their drills, and what
  // is handed over just before they close reaches the file.
  void twoCopiesAndClosing() {
    {
      Session a(path_), b(path_);
      for (int k = 0; k < 3; ++k) a.drill(), b.drill();
      QCOMPARE(a.stored(), 6);
      QVERIFY(a.notices.isEmpty() && b.notices.isEmpty());
      for (const ProblemRecord& r : someProblems(20, 5)) a.history.store().add(r);
      a.history.store().flush();
      a.drill(false);
    }
    QCOMPARE(OtherCopy(path_).count(), 27);
  }

  // A file of the first version is brought up to date and keeps its rows.
  void firstVersionMigrated() {
    {
      OtherCopy old(path_);
      for (const QString& sql : history_schema::step(0)) QVERIFY(old.exec(sql));
      QVERIFY(old.exec("PRAGMA user_version = 1"));
      QVERIFY(
          old.exec("INSERT INTO problems VALUES (7, 0, 3, 3, 0, 5, 100, 0, 0, 'automatic',"
                   " 1, 0, '111 222 333 444 555', 1665, NULL, 'none', 0, 'practice', 0, 9000)"));
    }
    Session s(path_);
    s.drill();
    const QList<ProblemRecord> rows = s.history.store().problems({});
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows.first().numbers, QList<qint64>({111, 222, 333, 444, 555}));
    GradeTestRecord t;
    t.grade = "初段";
    t.id = s.history.beginGradeTest(t), t.result = "合格";
    s.history.finishGradeTest(t);
    QCOMPARE(OtherCopy(path_).count(), 2);
    QCOMPARE(s.history.store().gradeTests().size(), 1);
    QCOMPARE(s.history.store().gradeTests().first().result, QStringLiteral("合格"));
  }

  // What could not be written by the end of a session is kept in the
  // recovery journal beside the history, said on standard error, and
  // written to the history at the next start, which says so once.
  void keptAtExit_data() {
    QTest::addColumn<QString>("fault");
    QTest::newRow("a folder in its place") << "folder";
    QTest::newRow("locked to the end") << "locked";
  }
  void keptAtExit() {
    QFETCH(QString, fault);
    const QString journal = journalPath(path_);
    Session(path_).drill();
    std::optional<OtherCopy> other;
    if (fault == "folder")
      QVERIFY(QFile::rename(path_, path_ + ".away") && QDir().mkdir(path_));
    else
      QVERIFY(other.emplace(path_).exec("BEGIN EXCLUSIVE"));
    Captured err(2);
    {
      Session second(path_);
      second.drill();
      second.drill();
      QVERIFY2(second.toldOnce(QFileInfo(journal).fileName()),
               qPrintable(second.notices.join('|')));
    }
    const QString said = QString::fromUtf8(err.text());
    QVERIFY2(said.contains("2 records") && said.contains("kept in " + journal), qPrintable(said));
    QCOMPARE(readJournal(journal).items.size(), 2u);
    if (fault == "folder")
      QVERIFY(QDir().rmdir(path_) && QFile::rename(path_ + ".away", path_));
    else
      other.reset();
    Session third(path_);
    QCOMPARE(third.stored(), 3);
    QVERIFY(!QFileInfo::exists(journal));
    QVERIFY2(third.toldOnce("2 件"), qPrintable(third.notices.join('|')));
  }

  // An answer committed while the total is awaited stays with its problem
  // when the drill is stopped before the total is shown, which is aborted.
  void answerThenStopped_data() {
    QTest::addColumn<Stop>("stop");
    QTest::newRow("中止") << Stop([](Session& s) { s.h.play("cmdStop"); });
    QTest::newRow("F8") << Stop([](Session& s) { QTest::keyClick(s.port.widget(), Qt::Key_F8); });
    QTest::newRow("closing the window") << Stop([](Session& s) { s.port.widget()->close(); });
  }
  void answerThenStopped() {
    QFETCH(Stop, stop);
    Session s(path_);
    QApplication::setActiveWindow(s.port.widget());
    s.h.play("cmdStart");
    QVERIFY(s.h.clock.advanceUntil([&] { return s.h->tmr3.Interval() != 0; }, 600'000));
    const QString total = QString(s.h->lbl2.Caption()).remove(',');
    for (QChar c : total) s.answers.sheet().typeDigit(c.digitValue());
    QVERIFY(s.answers.sheet().commit());
    s.h.clock.advance(3000);
    stop(s);
    QCoreApplication::processEvents();
    const QList<ProblemRecord> rows = s.history.store().problems({});
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows[0].answer, std::optional<qint64>(total.toLongLong()));
    QCOMPARE(rows[0].mark, ProblemRecord::Mark::Correct);
    QVERIFY(rows[0].aborted);
  }

  // The export only reads: the history and its folder stay as they were. A
  // regular file is written through a rename and a FIFO or a device in
  // place, and stays what it was; a folder is refused. A damaged history
  // gives exit 1 with nothing written, or, asked with --partial, what could
  // be read.
  void exports_data() {
    QTest::addColumn<ExportRow>("row");
    const auto add = [](const char* name, const ExportRow& row) { QTest::newRow(name) << row; };
    add("new file", {"file", false, 0, "40 problems written", 40});
    add("file replaced", {"old", false, 0, "40 problems written", 40});
    add("link to a file", {"link to old", false, 0, "40 problems written", 40});
    add("FIFO", {"fifo", false, 0, "40 problems written", 40});
    add("link to a FIFO", {"link to fifo", false, 0, "40 problems written", 40});
    add("character device", {"null", false, 0, "40 problems written", -1});
    add("device that is full", {"full", false, 1, "cannot write", -1});
    add("standard output", {"-", false, 0, "40 problems written", 40});
    add("folder", {"folder", false, 1, "it is a folder", -1});
    add("damaged", {"file", true, 1, "run again with --partial", 0});
    add("damaged, --partial", {"file --partial", true, 1, "(only what could be read)", 150});
  }
  void exports() {
    QFETCH(ExportRow, row);
    const auto& [target, damaged, exitCode, says, rows] = row;
    const QList<ProblemRecord> stored = someProblems(damaged ? 400 : 40, 39);
    {
      HistoryStore file(path_);
      for (const ProblemRecord& r : stored) file.add(r);
      QVERIFY(file.flush() && file.waitForWrites());
    }
    if (damaged) {
      // A third of the file, in its middle, zeroed.
      QFile f(path_);
      QVERIFY(f.open(QIODevice::ReadWrite));
      const qint64 third = f.size() / 3 / 4096 * 4096;
      QVERIFY(f.seek(third) && f.write(QByteArray(third, '\0')) == third);
    }
    const QString name = target.startsWith("link to ") ? target.mid(8) : target.section(' ', 0, 0);
    QString path = target == "-" ? target : dir_->filePath(name);
    if (name == "old") {
      QFile f(path);
      QVERIFY(f.open(QIODevice::WriteOnly) && f.write("old\n") == 4);
    } else if (name == "fifo") {
      QCOMPARE(mkfifo(qPrintable(path), 0600), 0);
    } else if (name == "null" || name == "full") {
      // Devices of the test's own where the superuser may make them, so that
      // a fault never touches the machine's /dev/null or /dev/full.
      const unsigned minor = name == "null" ? 3 : 7;
      if (geteuid() != 0 || mknod(qPrintable(path), S_IFCHR | 0666, makedev(1, minor)) != 0)
        QFile::link("/dev/" + name, path);
    } else if (name == "folder") {
      QVERIFY(QDir().mkdir(path));
    }
    const int fifo = name == "fifo" ? open(qPrintable(path), O_RDONLY | O_NONBLOCK) : -1;
    if (target.startsWith("link to ")) {
      QVERIFY(QFile::link(path, dir_->filePath("link")));
      path = dir_->filePath("link");
    }
    const auto kind = [](const QString& p) {
      struct stat st {};
      if (lstat(qPrintable(p), &st) != 0) return std::uint64_t{0};
      return std::uint64_t{st.st_mode & S_IFMT} << 32 | (S_ISCHR(st.st_mode) ? st.st_rdev : 0);
    };
    const std::uint64_t before = kind(path);
    const QByteArray historyBefore = bytes(path_);
    const QStringList beside = QDir(dir_->path()).entryList(QDir::AllEntries | QDir::System);

    QString message;
    QTextStream err(&message);
    QByteArray written;
    {
      Captured out(1);
      const ExportOptions options{.partial = target.endsWith("--partial")};
      QCOMPARE(exportHistoryToFile(path_, target == "-" ? target : path, err, options), exitCode);
      written = out.text();
    }
    if (fifo >= 0) {
      char buffer[65536];
      written =
          QByteArray(buffer, static_cast<int>(std::max<ssize_t>(0, read(fifo, buffer, 65536))));
      close(fifo);
    } else if (target != "-" && rows >= 0) {
      written = bytes(path);
    }
    QVERIFY2(message.contains(says), qPrintable(message));
    // The target is what it was; the history and its folder are as they were.
    if (before) QCOMPARE(kind(path), before);
    QCOMPARE(bytes(path_), historyBefore);
    QStringList now = QDir(dir_->path()).entryList(QDir::AllEntries | QDir::System);
    QStringList was = beside;
    for (QStringList* names : {&now, &was}) names->removeAll(name), names->removeAll("link");
    QCOMPARE(now, was);
    if (rows < 0) return;
    const auto read = readHistoryCsv(QString::fromUtf8(written));
    QCOMPARE(read.has_value(), rows > 0);
    if (rows == 0) return;
    // All of a whole history; of a damaged one, most rows outside the damage,
    // wherever their pages lie (with these ids, the first and the last are in it).
    QVERIFY(damaged ? read->size() >= rows && read->size() < stored.size() : *read == stored);
  }
};

PELATTO_TEST_MAIN(HistoryFaultsTest)
#include "test_history_faults.moc"
