// SPDX-License-Identifier: GPL-3.0-or-later
// What the history costs: handing a finished problem over (on the
// user-interface thread, from the event loop after the total is shown), its
// commit on the history's writer thread, the opening of the progress window
// over a long history, and how long the program takes to end when closed
// during a drill.
//
//   history_bench [--problems N] [--dir DIR] [--shot PREFIX] [--closes N]
//
// --dir keeps the history file there (default: a temporary directory, so
// the figures include the disk that holds it); --shot saves each tab of the
// window as PREFIX-<tab>.png; --closes runs the program N times over the
// long history (default 7; 0 for none) and closes it with SIGTERM at moments
// spread over its first problem (countdown, numbers, answer wait), timing
// the signal to the end of the process.

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QList>
#include <QProcess>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QVariant>
#include <algorithm>
#include <cstdio>

#include "app/features.h"
#include "history/history.h"
#include "history/history_file.h"
#include "host/feature_host.h"
#include "platform/application.h"
#include "platform/clock.h"
#include "platform/environment.h"
#include "platform/precise_clock.h"
#include "platform/quit_signals.h"
#include "progress/progress_window.h"
#include "shell/frm_pelatto.h"
#include "shell/window_port.h"

namespace {

ProblemRecord sample(QRandomGenerator& g, const QDateTime& at) {
  ProblemRecord r;
  r.id = newRecordId();
  r.at = at;
  r.settings.longest = g.bounded(1, 8);
  r.settings.shortest = r.settings.longest;
  r.settings.terms = g.bounded(3, 16);
  r.settings.pace = 30 + 10 * g.bounded(0, 18);
  for (int k = 0; k < r.settings.terms; ++k)
    r.numbers << static_cast<qint64>(g.bounded(1, 10)) * static_cast<qint64>(g.bounded(1, 100));
  for (qint64 n : r.numbers) r.total += n;
  // Faster paces and more digits are answered correctly less often.
  const bool correct = g.bounded(100) < 95 - r.settings.longest * 4 - (200 - r.settings.pace) / 8;
  r.answer = correct ? r.total : r.total + 1;
  r.mark = correct ? ProblemRecord::Mark::Correct : ProblemRecord::Mark::Wrong;
  r.seriesMs = r.settings.pace * 10.0 * r.settings.terms;
  return r;
}

// The long history, written in one transaction through this thread's own
// connection with the disk's flushes off: setting up, not measured.
void fill(HistoryStore& store, int problems) {
  QRandomGenerator g(2026);
  const QDateTime now = QDateTime::currentDateTime();
  QSqlDatabase db = store.database();
  QSqlQuery(db).exec(QStringLiteral("PRAGMA synchronous = OFF"));
  db.transaction();
  for (int k = 0; k < problems; ++k) {
    const qint64 back = static_cast<qint64>(problems - k) * 365 * 86400 / problems;
    QSqlQuery q(db);
    prepareProblemInsert(q, sample(g, now.addSecs(-back)));
    q.exec();
  }
  db.commit();
  QSqlQuery(db).exec(QStringLiteral("PRAGMA synchronous = FULL"));
}

// The program as main() builds it, over the history at `path`, one drill
// started at once; a signal closes the window as it does in the program.
int closingChild(const QString& path) {
  pf::PreciseClock clock;
  const pf::Environment env{.clock = clock};
  frmPelatto window(env);
  pf::QuitSignals quitSignals([&window] { window.form.Unload(); });
  WindowPort port(window);
  StartOptions options;
  options.defaults = true;
  options.historyPath = path;
  Features features(port, options);
  window.Show();
  features.windowLoaded();
  QTimer::singleShot(100, [&port] { port.pressStart(); });
  std::printf("ready\n");
  std::fflush(stdout);
  return QCoreApplication::exec();
}

double median(QList<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

double pct(QList<double> v, double p) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[std::min(v.size() - 1, static_cast<qsizetype>(p * double(v.size())))];
}

}  // namespace

int main(int argc, char** argv) {
  pf::Application app(argc, argv);
  if (argc == 3 && QByteArray(argv[1]) == "--closing-child") {
    const int code = closingChild(QString::fromLocal8Bit(argv[2]));
    pf::QuitSignals::endAsReceived();
    return code;
  }
  int problems = 100000, closes = 7;
  QString dirArg, shot;
  const QStringList args = QCoreApplication::arguments();
  for (qsizetype k = 1; k + 1 < args.size(); ++k) {
    if (args[k] == "--problems") problems = args[k + 1].toInt();
    if (args[k] == "--dir") dirArg = args[k + 1];
    if (args[k] == "--shot") shot = args[k + 1];
    if (args[k] == "--closes") closes = args[k + 1].toInt();
  }
  QTemporaryDir temp;
  const QString path = (dirArg.isEmpty() ? temp.path() : dirArg) + "/history.sqlite";
  QFile::remove(path);
  pf::PreciseClock clock;
  const pf::Environment env{.clock = clock};
  frmPelatto window(env);
  WindowPort port(window);
  FeatureHost host(port);

  std::printf("history file: %s\n", qPrintable(path));
  {
    History history(host, path);
    QElapsedTimer t;
    t.start();
    fill(history.store(), problems);
    std::printf("filled %d problems in %.0f ms (set-up)\n", problems, t.nsecsElapsed() / 1e6);

    // One problem as the recorder hands it over: queued, then handed to the
    // writer, which commits it in one transaction while this thread goes on.
    // The first write of a session checks the whole file first; measured below.
    QRandomGenerator g(7);
    history.store().add(sample(g, QDateTime::currentDateTime()));
    history.store().flush();
    history.store().waitForWrites(60'000);
    QList<double> handOver, commit;
    for (int k = 0; k < 40; ++k) {
      history.store().add(sample(g, QDateTime::currentDateTime()));
      t.restart();
      history.store().flush();
      handOver << t.nsecsElapsed() / 1e6;
      history.store().waitForWrites();
      commit << history.store().writerStatus().writeMs;
    }
    const QThread* writer = history.store().writerThread();
    std::printf(
        "hand-over of one problem (GUI thread), 40 runs: "
        "median %.3f ms, 90th %.3f ms, max %.3f ms\n",
        median(handOver), pct(handOver, 0.9), pct(handOver, 1.0));
    std::printf(
        "commit of one problem (writer thread '%s'), 40 runs: "
        "median %.2f ms, 90th %.2f ms, max %.2f ms\n",
        qPrintable(writer->objectName()), median(commit), pct(commit, 0.9), pct(commit, 1.0));
  }

  // A fresh session opens and checks the whole file on the writer's thread
  // as it starts; its first commit then only writes.
  QList<double> check, first;
  for (int k = 0; k < 5; ++k) {
    History history(host, path);
    history.store().waitForWrites(60'000);
    check << history.store().writerStatus().writeMs;
    QRandomGenerator g(k);
    history.store().add(sample(g, QDateTime::currentDateTime()));
    history.store().flush();
    history.store().waitForWrites(60'000);
    first << history.store().writerStatus().writeMs;
  }
  // Opening the window in a fresh session: the file is opened,
  // the summaries read, the charts and the table built and painted.
  QList<double> cold, warm;
  for (int k = 0; k < 5; ++k) {
    History history(host, path);
    QElapsedTimer t;
    t.start();
    ProgressWindow progress(host);
    progress.open();
    QCoreApplication::processEvents();
    cold << t.nsecsElapsed() / 1e6;
    for (int w = 0; w < 3; ++w) {
      t.restart();
      progress.open();
      QCoreApplication::processEvents();
      warm << t.nsecsElapsed() / 1e6;
    }
    if (k == 0 && !shot.isEmpty()) {
      auto* tabs = progress.findChild<QTabWidget*>();
      const char* names[] = {"charts", "problems", "tests"};
      for (int tab = 0; tab < tabs->count(); ++tab) {
        tabs->setCurrentIndex(tab);
        QCoreApplication::processEvents();
        progress.grab().save(shot + "-" + names[tab] + ".png");
      }
      tabs->setCurrentIndex(0);
    }
  }
  std::printf(
      "progress window over %d problems, first opening in a session (5 sessions): "
      "median %.0f ms, max %.0f ms\n",
      problems, median(cold), pct(cold, 1.0));
  std::printf("  opening it again in the same session (15 runs): median %.0f ms, max %.0f ms\n",
              median(warm), pct(warm, 1.0));
  std::printf(
      "opening and checking the whole file as a session starts (writer thread, 5 sessions): "
      "median %.0f ms; the session's first commit then: median %.2f ms\n",
      median(check), median(first));

  // Closing during the first problem of a session, when its problem is
  // still to be written: from SIGTERM to the end of the process.
  QList<double> closing;
  for (int k = 0; k < closes; ++k) {
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {"--closing-child", path});
    if (!child.waitForStarted() || !child.waitForReadyRead(60'000)) break;
    // From the countdown (0 to 3.8 s) through the numbers to the answer wait (from 13.8 s).
    QThread::msleep(static_cast<unsigned long>(1500 + k * 21000 / std::max(1, closes - 1)));
    QElapsedTimer t;
    t.start();
    child.terminate();
    child.waitForFinished(60'000);
    closing << t.nsecsElapsed() / 1e6;
  }
  if (!closing.isEmpty())
    std::printf(
        "closed by SIGTERM during its first problem (%lld runs): median %.0f ms, max %.0f ms\n",
        static_cast<long long>(closing.size()), median(closing), pct(closing, 1.0));
  return 0;
}
