// SPDX-License-Identifier: GPL-3.0-or-later
// Ways a session ends while drills run, in real processes. SIGTERM, SIGINT
// and SIGHUP close the window as the learner would: every problem whose
// series ended is kept, and the process ends by the signal. kill -9 loses
// at most a problem revealed within the last moments before it.
//
// The test runs this same program as a child (--drill-child DIR SEED): the
// window with its features on a virtual clock that runs kSpeed times as
// fast as real time, drilling random runs one after another, and printing
// each problem's id when its series ends ("E id ns") and when its total is
// shown ("R id ns"), ns on the monotonic clock.
//
// PELATTO_KILLS=N runs each way out N times (default once) and prints, for
// kill -9 just after a reveal, how old the newest lost problem was: the
// loss window.

#include <QProcess>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <csignal>

#include "answers/typed_answers.h"
#include "app/features.h"
#include "harness.h"
#include "history/history.h"
#include "platform/quit_signals.h"

namespace {

constexpr int kSpeed = 50;
// A revealed problem older than this when kill -9 comes must be in the file.
constexpr qint64 kLossBoundMs = 1000;
// kill -9 "just after a reveal" comes up to this long after it.
constexpr int kKillDelayMs = 30;

// The same clock in the parent and the child.
qint64 monotonicNs() { return QDeadlineTimer::current(Qt::PreciseTimer).deadlineNSecs(); }

// Starts random runs one after another, answers some problems, aborts a
// few, and prints what the learner was shown.
struct Driver : DrillListener {
  DrillPort& port;
  Features& features;
  QRandomGenerator g;
  AnswerMode mode = AnswerMode::Automatic;
  Driver(DrillPort& p, Features& f, quint64 seed) : port(p), features(f), g(seed) {}

  void later(std::function<void()> fn, int ms = 0) { QTimer::singleShot(ms, port.widget(), fn); }
  void print(char what) {
    const auto last = features.history().recorder().lastProblem();
    std::printf("%c %lld %lld\n", what, last ? last->id : 0, monotonicNs());
  }
  void next() {
    DrillSettings s = port.settings();
    s.longest = g.bounded(1, 4), s.shortest = 1, s.terms = g.bounded(2, 5);
    s.pace = g.bounded(10, 30);
    s.mode = mode = g.bounded(4) ? AnswerMode::Automatic : AnswerMode::Manual;
    s.runLength = mode == AnswerMode::Automatic ? g.bounded(1, 4) : 1;
    port.applySettings(s);
    port.pressStart();
  }
  void onDrillEvent(const DrillEvent& e) override {
    using K = DrillEvent::Kind;
    if (e.kind == K::SeriesEnded) {
      print('E');
      // Now and then an answer, right or one off; now and then an abort.
      const qint64 total = std::llround(e.value) + g.bounded(2);
      if (g.bounded(2))
        later([this, total] {
          for (QChar c : QString::number(total))
            features.answers().sheet().typeDigit(c.digitValue());
          features.answers().sheet().commit();
        });
      if (g.bounded(8) == 0) later([this] { port.pressAbort(); });
    }
    if (e.kind == K::AnswerRevealed) print('R');
    if (e.kind == K::RunEnded && mode == AnswerMode::Manual) later([this] { port.pressAnswer(); });
    if (e.kind == K::RunEnded || e.kind == K::Aborted) later([this] { next(); }, g.bounded(5, 50));
  }
};

int drillChild(const QString& dir, quint64 seed) {
  Harness h(seed);
  WindowPort port(*h.f);
  Features features(port, {.defaults = true, .historyPath = dir + "/history.sqlite"});
  pf::QuitSignals quitSignals([&h] { h->form.Unload(); });
  features.windowLoaded();
  Driver driver(port, features, seed);
  // After the history has recorded each event, to read what it recorded.
  port.subscribe(&driver, DrillPort::Stage::Records);
  // Virtual time follows real time, kSpeed times as fast, one tick at a
  // time with the event loop between ticks, as the program's clock runs.
  const qint64 start = monotonicNs();
  QTimer pump;
  pump.setTimerType(Qt::PreciseTimer);
  QObject::connect(&pump, &QTimer::timeout, [&] {
    const qint64 due = (monotonicNs() - start) * kSpeed / 1'000'000;
    bool once = false;
    h.clock.advanceUntil([&] { return std::exchange(once, true); }, due - h.clock.now());
    pump.start(h.clock.now() < due ? 0 : 1);
  });
  pump.start(0);
  std::setvbuf(stdout, nullptr, _IOLBF, 0);  // each line to the parent as it is printed
  driver.next();
  const int code = QCoreApplication::exec();
  port.unsubscribe(&driver);
  return code;
}

// What the child said, in order: problem ids with the time of the line.
struct Said {
  QList<std::pair<qint64, qint64>> ended, revealed;
};

}  // namespace

class ExitsTest : public QObject {
  Q_OBJECT
  QTemporaryDir dir_;
  QRandomGenerator g_{20261207};
  QList<double> closeMs_;
  QList<std::pair<double, bool>> killedAfterReveal_;  // the age of the newest reveal; lost

  // Reads the child's lines until `until` holds or it has ended.
  template <class Until>
  void readLines(QProcess& child, Said& said, Until until) {
    const QDeadlineTimer waited(60'000);
    while (child.state() == QProcess::Running && !until() && !waited.hasExpired()) {
      if (!child.canReadLine()) child.waitForReadyRead(20);
      while (child.canReadLine()) {
        const QList<QByteArray> w = child.readLine().trimmed().split(' ');
        if (w.size() == 3 && (w[0] == "E" || w[0] == "R"))
          (w[0] == "E" ? said.ended : said.revealed)
              << std::pair(w[1].toLongLong(), w[2].toLongLong());
      }
    }
  }
  // Every stored problem's id and whether it is aborted; the file is whole.
  void readStored(QMap<qint64, bool>& out) {
    {
      QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "parent");
      db.setDatabaseName(dir_.filePath("history.sqlite"));
      QVERIFY(db.open());
      QSqlQuery q(db);
      QVERIFY(q.exec("PRAGMA integrity_check") && q.next());
      QCOMPARE(q.value(0).toString(), QString("ok"));
      QVERIFY(q.exec("SELECT id, aborted FROM problems"));
      while (q.next()) out[q.value(0).toLongLong()] = q.value(1).toBool();
    }
    QSqlDatabase::removeDatabase("parent");
  }

 private slots:
  void cleanupTestCase() {
    std::sort(closeMs_.begin(), closeMs_.end());
    if (!closeMs_.isEmpty())
      qInfo("signal to exit: median %.0f ms, max %.0f ms (%d signals)",
            closeMs_[closeMs_.size() / 2], closeMs_.last(), int(closeMs_.size()));
    // Kills come uniformly 0 to kKillDelayMs after a reveal: the share lost
    // times that span is the mean time a revealed problem can still be lost.
    double oldestLost = 0, lost = 0, kills = double(killedAfterReveal_.size());
    for (const auto& [ageMs, gone] : killedAfterReveal_)
      if (gone) ++lost, oldestLost = std::max(oldestLost, ageMs);
    if (kills > 0)
      qInfo(
          "kill -9 0-%d ms after a reveal: %.0f of %.0f lost, the oldest %.1f ms after its "
          "reveal; loss window %.1f ms on average",
          kKillDelayMs, lost, kills, oldestLost, kKillDelayMs * lost / kills);
  }

  // One history across every row and round, as one learner's machine has:
  // each start after a kill also recovers what the kill left.
  void waysOut_data() {
    // "ended": as a series ends; "revealed": just after a
    columns<int, QString>("sig", "when");
    // total is shown; "random": 0.3 to 1.5 s into the drills
    QTest::newRow("SIGTERM in the answer wait") << SIGTERM << "ended";
    QTest::newRow("SIGINT at a random moment") << SIGINT << "random";
    QTest::newRow("SIGHUP at a random moment") << SIGHUP << "random";
    QTest::newRow("kill -9 just after a reveal") << SIGKILL << "revealed";
    QTest::newRow("kill -9 at a random moment") << SIGKILL << "random";
  }
  void waysOut() {
    auto [sig, when] = fetch<int, QString>("sig", "when");
    for (int round = 0; round < std::max(1, qEnvironmentVariableIntValue("PELATTO_KILLS"));
         ++round) {
      QProcess child;
      child.start(QCoreApplication::applicationFilePath(),
                  {"--drill-child", dir_.path(), QString::number(g_.generate())});
      QVERIFY(child.waitForStarted());
      Said said;
      readLines(child, said, [&] { return !said.ended.isEmpty(); });
      if (when == "random") {
        const qint64 at = monotonicNs() + g_.bounded(300, 1500) * 1'000'000LL;
        readLines(child, said, [&] { return monotonicNs() >= at; });
      } else {
        // As a series ends; or just after the first, second or third reveal.
        const auto& lines = when == "ended" ? said.ended : said.revealed;
        const qsizetype seen = lines.size() + (when == "ended" ? 0 : g_.bounded(0, 3));
        readLines(child, said, [&] { return lines.size() > seen; });
        if (when == "revealed") QThread::usleep(g_.bounded(0, kKillDelayMs * 1000));
      }
      QVERIFY2(child.state() == QProcess::Running, child.readAllStandardError().constData());
      const qint64 killedAt = monotonicNs();
      ::kill(static_cast<pid_t>(child.processId()), sig);
      QVERIFY(child.waitForFinished(30'000));
      if (sig != SIGKILL) closeMs_ << double(monotonicNs() - killedAt) / 1e6;
      readLines(child, said, [] { return false; });
      const QByteArray err = child.readAllStandardError();
      QVERIFY2(!err.contains("Sanitizer") && !err.contains("runtime error"), err.constData());
      // Ended by the signal, after the close for those that close.
      QCOMPARE(child.exitStatus(), QProcess::CrashExit);
      QCOMPARE(child.exitCode(), sig);

      QMap<qint64, bool> rows;
      readStored(rows);
      for (const auto& [id, at] : said.revealed) {
        const double ageMs = double(killedAt - at) / 1e6;
        if (sig != SIGKILL || ageMs > kLossBoundMs)
          QVERIFY2(rows.contains(id), qPrintable(QString("revealed %1 ms before").arg(ageMs)));
      }
      if (sig == SIGKILL && when == "revealed" && !said.revealed.isEmpty())
        killedAfterReveal_ << std::pair(double(killedAt - said.revealed.last().second) / 1e6,
                                        !rows.contains(said.revealed.last().first));
      if (sig == SIGKILL) continue;
      // A closing keeps every series that ended; the one in its answer wait is aborted.
      for (const auto& [id, at] : said.ended) QVERIFY(rows.contains(id));
      const qint64 waiting = said.ended.last().first;
      if (when == "ended" && std::none_of(said.revealed.begin(), said.revealed.end(),
                                          [&](const auto& r) { return r.first == waiting; }))
        QVERIFY(rows[waiting]);
    }
  }
};

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  qputenv("XDG_RUNTIME_DIR", "/tmp/pelatto-tests");
  qputenv("XDG_DATA_HOME", "/tmp/pelatto-tests/data");
  pf::Application app(argc, argv);
  if (argc == 4 && QByteArray(argv[1]) == "--drill-child") {
    const int code = drillChild(QString::fromLocal8Bit(argv[2]), QByteArray(argv[3]).toULongLong());
    pf::QuitSignals::endAsReceived();
    return code;
  }
  ExitsTest tc;
  return QTest::qExec(&tc, argc, argv);
}

#include "test_exits.moc"
