#include <unistd.h>

#include <QElapsedTimer>
#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

#include "harness.h"
#include "history/history.h"
#include "history/history_schema.h"
#include "host/feature_host.h"
#include "shell/window_port.h"

// Whatever happens to the history file, the drill goes on, the learner is
// told once, and no earlier record is lost.

namespace {

QByteArray bytes(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// One session of the program: a window, its history, one or more drills.
struct Session {
  Harness h;
  WindowPort port{*h.f};
  FeatureHost host{port};
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
};

// Another connection to the same file, as a second copy of the program has.
struct OtherCopy {
  QString name = QStringLiteral("other-copy");
  explicit OtherCopy(const QString& path) {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
    db.setDatabaseName(path);
    db.open();
  }
  ~OtherCopy() {
    QSqlDatabase::database(name).close();
    QSqlDatabase::removeDatabase(name);
  }
  bool exec(const QString& sql) { return QSqlQuery(QSqlDatabase::database(name)).exec(sql); }
  int count() {
    QSqlQuery q(QSqlDatabase::database(name));
    return q.exec("SELECT count(*) FROM problems") && q.next() ? q.value(0).toInt() : -1;
  }
};

}  // namespace

class HistoryFaultsTest : public QObject {
  Q_OBJECT
 private slots:
  void faults_data() {
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("told");  // a word of the one notice
    QTest::newRow("locked by another copy") << "locked"
                                            << "使用中";
    QTest::newRow("read-only") << "read-only"
                               << "読み取り専用";
    QTest::newRow("truncated to half") << "half"
                                       << "壊れて";
    QTest::newRow("truncated to its first bytes") << "stub"
                                                  << "壊れて";
    QTest::newRow("from a newer version") << "newer"
                                          << "新しい版";
  }
  void faults() {
    QFETCH(QString, fault);
    QFETCH(QString, told);
    QTemporaryDir dir;
    const QString path = dir.filePath("history.sqlite");
    {
      Session first(path);
      first.drill();
      QCOMPARE(first.stored(), 1);
    }
    std::unique_ptr<OtherCopy> other;
    if (fault == "locked") {
      other = std::make_unique<OtherCopy>(path);
      QVERIFY(other->exec("BEGIN EXCLUSIVE"));
    } else if (fault == "read-only") {
      QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
      QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup |
                                            QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther);
      // The superuser writes any file; the drill then runs as nobody.
      if (geteuid() == 0) QVERIFY(seteuid(65534) == 0);
    } else if (fault == "half" || fault == "stub") {
      QFile f(path);
      QVERIFY(f.resize(fault == "half" ? f.size() / 2 : 40));
    } else if (fault == "newer") {
      OtherCopy(path).exec(
          QStringLiteral("PRAGMA user_version = %1").arg(history_schema::currentVersion() + 1));
    }
    const QByteArray before = bytes(path);

    Session second(path);
    const QString total = second.drill();
    second.drill();
    if (geteuid() != getuid()) QVERIFY(seteuid(0) == 0);
    // The drills ran to their totals and the learner heard of the trouble once.
    QVERIFY(!total.isEmpty());
    QCOMPARE(second.notices.size(), 1);
    QVERIFY2(second.notices.first().contains(told), qPrintable(second.notices.first()));

    if (fault == "locked" || fault == "read-only") {
      // Nothing reached the file; the two problems wait and go in once it is writable.
      QCOMPARE(bytes(path), before);
      QCOMPARE(second.history.store().queued(), 2);
      other.reset();
      QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
      QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
      second.drill();
      QCOMPARE(second.stored(), 4);
      QCOMPARE(second.notices.size(), 1);
    } else if (fault == "newer") {
      QCOMPARE(bytes(path), before);
      QVERIFY(!second.history.store().recording());
      QCOMPARE(second.history.beginGradeTest({}), 0);
    } else {
      // The damaged file sits beside the new one, untouched.
      const QStringList aside = QDir(dir.path()).entryList({"history.sqlite.corrupt-*"});
      QCOMPARE(aside.size(), 1);
      QCOMPARE(bytes(dir.filePath(aside.first())), before);
      QVERIFY(second.notices.first().contains(aside.first()));
      QCOMPARE(second.stored(), 2);
    }
  }

  // A problem finished while another copy holds the file: the window goes on
  // at once, the writer waits for the lock, and writes as soon as it goes.
  void lockedWhileFinishing() {
    QTemporaryDir dir;
    const QString path = dir.filePath("history.sqlite");
    Session s(path);
    s.history.store().setBusyTimeoutMs(60'000);
    s.drill();
    const QList<ProblemRecord> before = s.history.store().problems({});
    QCOMPARE(before.size(), 1);
    OtherCopy other(path);
    QVERIFY(other.exec("BEGIN EXCLUSIVE"));
    QElapsedTimer window;
    window.start();
    QVERIFY(!s.drill(false).isEmpty());
    QVERIFY(window.elapsed() < 30'000);
    // Still waiting for the lock, on a thread of its own.
    QVERIFY(!s.history.store().waitForWrites(50));
    QCOMPARE(other.count(), 1);
    QVERIFY(other.exec("COMMIT"));
    const QList<ProblemRecord> after = s.history.store().problems({});
    QCOMPARE(after.size(), 2);
    QCOMPARE(after.first(), before.first());
    QVERIFY(s.notices.isEmpty());
  }

  // Problems handed over just before the program closes reach the file.
  void closingWritesWhatWasHandedOver() {
    QTemporaryDir dir;
    const QString path = dir.filePath("history.sqlite");
    {
      Session s(path);
      s.drill();
      for (int k = 0; k < 20; ++k) {
        ProblemRecord r;
        r.id = newRecordId();
        r.at = QDateTime::currentDateTime();
        r.numbers = {k};
        s.history.store().add(r);
      }
      s.history.store().flush();
      s.drill(false);
    }
    QCOMPARE(OtherCopy(path).count(), 22);
  }

  // Two copies of the program on one file both keep their drills.
  void twoCopies() {
    QTemporaryDir dir;
    Session a(dir.filePath("history.sqlite")), b(dir.filePath("history.sqlite"));
    for (int k = 0; k < 3; ++k) a.drill(), b.drill();
    QCOMPARE(a.stored(), 6);
    QVERIFY(a.notices.isEmpty() && b.notices.isEmpty());
  }

  // A file of the first version is brought up to date and keeps its rows.
  void firstVersionMigrated() {
    QTemporaryDir dir;
    const QString path = dir.filePath("history.sqlite");
    {
      OtherCopy old(path);
      for (const QString& sql : history_schema::step(0)) QVERIFY(old.exec(sql));
      QVERIFY(old.exec("PRAGMA user_version = 1"));
      QVERIFY(
          old.exec("INSERT INTO problems VALUES (7, 0, 3, 3, 0, 5, 100, 0, 0, 'automatic',"
                   " 1, 0, '111 222 333 444 555', 1665, NULL, 'none', 0, 'practice', 0, 9000)"));
    }
    Session s(path);
    s.drill();
    const QList<ProblemRecord> rows = s.history.store().problems({});
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows.first().numbers, QList<qint64>({111, 222, 333, 444, 555}));
    GradeTestRecord t;
    t.grade = "初段";
    t.id = s.history.beginGradeTest(t);
    t.result = "合格";
    s.history.finishGradeTest(t);
    QCOMPARE(OtherCopy(path).count(), 2);
    QCOMPARE(s.history.store().gradeTests().size(), 1);
    QCOMPARE(s.history.store().gradeTests().first().result, QStringLiteral("合格"));
  }
};

PELATTO_TEST_MAIN(HistoryFaultsTest)
#include "test_history_faults.moc"
