// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <QBarSeries>
#include <QBarSet>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QLabel>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>

#include "harness.h"
#include "history/history.h"
#include "history/history_export.h"
#include "progress/grade_rank.h"
#include "progress/progress.h"
#include "progress/progress_window.h"
#include "replay/replay.h"

// The progress window and the export, over a history written beforehand.

namespace {

// Problems of the last few days, of several digit counts, marks and kinds.
QList<ProblemRecord> pastProblems(int count, std::uint64_t seed) {
  QRandomGenerator g(seed);
  QList<ProblemRecord> out;
  const QDateTime now = QDateTime::currentDateTime();
  for (int k = 0; k < count; ++k) {
    ProblemRecord r;
    r.id = newRecordId();
    r.at = now.addSecs(-g.bounded(3 * 86400)).addMSecs(-g.bounded(1000));
    DrillSettings& p = r.settings;
    p.longest = g.bounded(1, 15), p.shortest = g.bounded(1, p.longest + 1);
    p.terms = g.bounded(2, 31), p.mix = g.bounded(0, p.terms + 1);
    p.pace = g.bounded(10, 301), p.extension = g.bounded(0, 5), p.runLength = g.bounded(1, 21);
    p.grouping = g.bounded(2), p.mode = AnswerMode(g.bounded(3));
    r.runPosition = g.bounded(p.runLength);
    for (int n = 0; n < p.terms; ++n) r.numbers << g.bounded(1, 99999999) * 1000003LL;
    for (qint64 n : r.numbers) r.total += n;
    if (const int pick = g.bounded(4); pick > 0) r.answer = r.total + (pick == 1 ? 7 : 0);
    r.mark = markOf(r.answer, r.total);
    r.aborted = g.bounded(10) == 0, r.kind = RecordContext::Kind(g.bounded(3));
    r.testId = r.kind == RecordContext::Kind::Test ? 42 : 0;
    r.seriesMs = g.bounded(1, 9000000) / 1000.0;
    out << r;
  }
  return out;
}

// The window with its features and a history of its own.
struct Desk : Hosted {
  QTemporaryDir dir;
  History history{host, dir.filePath("history.sqlite")};
  void store(const QList<ProblemRecord>& problems) {
    for (const ProblemRecord& r : problems) history.store().add(r);
    QVERIFY(history.store().flush());
  }
};

// The heights of a chart's bars; `set` 1 holds the low bars that stand for 0.
QList<double> barValues(QChartView* view, int set = 0) {
  QList<double> out;
  auto* bars = static_cast<QAbstractBarSeries*>(view->chart()->series()[0])->barSets()[set];
  for (int k = 0; k < bars->count(); ++k) out << bars->at(k);
  return out;
}

}  // namespace

class ProgressTest : public QObject {
  Q_OBJECT
 private slots:
  // The command-line export reads the history in the user's data directory;
  // the file parses back to exactly the stored rows.
  void exportFromCommandLine_data() {
    // -1: no history file at all
    columns<int, bool>("problems", "writable");
    QTest::newRow("history") << 100 << true;
    QTest::newRow("no history yet") << -1 << true;
    QTest::newRow("target cannot be written") << 10 << false;
  }
  void exportFromCommandLine() {
    auto [problems, writable] = fetch<int, bool>("problems", "writable");
    QTemporaryDir data;
    qputenv("XDG_DATA_HOME", data.path().toUtf8());
    const QString out = writable ? data.filePath("out.csv") : data.filePath("none/out.csv");
    QList<ProblemRecord> stored;
    if (problems >= 0) {
      HistoryStore history(HistoryStore::defaultPath());
      QVERIFY(history.path().startsWith(data.path()));
      for (const ProblemRecord& r : pastProblems(problems, 9)) history.add(r);
      QVERIFY(history.flush());
      stored = history.problems({});
    }
    QString message;
    QTextStream err(&message);
    const int code = exportHistoryToFile(out, err);
    qputenv("XDG_DATA_HOME", "/tmp/pelatto-tests/data");
    QCOMPARE(code == 0, writable);
    QVERIFY(writable || message.contains(out));
    if (!writable) return;
    QFile f(out);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(*readHistoryCsv(QString::fromUtf8(f.readAll())), stored);
    QVERIFY(!QFileInfo::exists(data.filePath("pelatto/history.sqlite")) == (problems < 0));
  }

  // What the window shows of a history: counts per day, the fastest correct
  // pace per digit count, the table with its filters, the grade tests.
  void windowShowsTheHistory() {
    Desk d;
    Harness& h = d.h;
    const QList<ProblemRecord> past = pastProblems(150, 3);
    d.store(past);
    const auto pass = [&](const QString& grade, const QString& result) {
      GradeTestRecord t;
      t.grade = grade, t.id = d.history.beginGradeTest(t), t.result = result;
      d.history.finishGradeTest(t);
    };
    pass("1級", "合格"), pass("二段", "不合格"), pass("初段", "合格"), pass("準初段", "合格");
    Replay replay(d.host);
    ProgressWindow window(d.host);
    window.open();

    const QDate today = QDate::currentDate();
    QList<double> perDay(30, 0), fastest(14, 0);  // fastest: seconds a number, per digit count
    for (const ProblemRecord& r : past) {
      const qint64 age = r.at.date().daysTo(today);
      if (!r.aborted && age < 30) perDay[29 - age] += 1;
      double& f = fastest[r.settings.longest - 1];
      if (r.mark == ProblemRecord::Mark::Correct && !r.aborted &&
          (f == 0 || r.settings.pace < f * 100))
        f = r.settings.pace / 100.0;
    }
    QCOMPARE(barValues(window.findChildren<QChartView*>()[0]), perDay);
    QCOMPARE(barValues(window.findChildren<QChartView*>()[3]), fastest);

    QTableWidget* table = window.problemTable();
    QCOMPARE(table->rowCount(), 150);
    auto* digits = window.findChild<QComboBox*>("digitsFilter");
    auto* terms = window.findChild<QComboBox*>("termsFilter");
    digits->setCurrentIndex(digits->findData(5)), terms->setCurrentIndex(terms->findData(12));
    int expected = 0;
    for (const ProblemRecord& r : past)
      expected += r.settings.longest == 5 && r.settings.terms == 12;
    QCOMPARE(table->rowCount(), expected);
    for (const ProblemRecord& r : window.shownProblems())
      QVERIFY(r.settings.longest == 5 && r.settings.terms == 12);
    QCOMPARE(window.findChild<QLabel*>("highestGrade")->text(),
             QStringLiteral("合格した最高の段級: 初段"));
    QCOMPARE(window.findChild<QTableWidget*>("gradeTestTable")->rowCount(), 4);

    // A problem drilled now heads the table; chosen there, it is flashed again.
    h.play("cmdStart");
    h.clock.advanceUntil([&] { return !h->events.inDrill(); }, 600'000);
    digits->setCurrentIndex(0), terms->setCurrentIndex(0);
    window.refresh();
    QCOMPARE(table->rowCount(), 151);
    QCOMPARE(window.shownProblems().first().numbers, d.history.recorder().lastProblem()->numbers);
    table->selectRow(0);
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QTest::mouseClick(window.findChild<QWidget*>("replayButton"), Qt::LeftButton);
    QVERIFY(h->events.inDrill());
    // The main window comes to the front with the keyboard focus before the countdown.
    QTRY_COMPARE(QApplication::activeWindow(), h->form.widget());
    QCOMPARE(QApplication::focusWidget(), h->cmdTome.widget());
    QCOMPARE(h->e, 0);
  }

  // The progress window beside the window with its features: F9 opens it,
  // the main window's keys work from it (F5 starts on the main window,
  // brought to the front), Esc closes it. A long list of numbers leaves the
  // answer and the mark in sight; a pace answered only wrongly has a low bar
  // of its own, one without answers none; axis titles lie flat and every
  // digit count is named.
  void besideTheWindow() {
    Desk d;
    Harness& h = d.h;
    Progress progress(d.host);
    QList<ProblemRecord> past = pastProblems(3, 5);
    for (int k = 0; k < 3; ++k) {
      ProblemRecord& r = past[k];
      r.settings.longest = 14, r.settings.pace = 50 + 10 * k, r.aborted = false;
      r.numbers = QList<qint64>(30, 99999999999999), r.total = 30 * 99999999999999;
      r.answer = k == 1 ? std::nullopt : std::optional(r.total + (k == 0));
      r.mark = markOf(r.answer, r.total);
    }
    d.store(past);
    QWidget* main = d.port.widget();
    QApplication::setActiveWindow(main);
    QVERIFY(QTest::qWaitForWindowActive(main));
    QTest::keyClick(main, Qt::Key_F9);
    ProgressWindow* window = progress.window();
    QVERIFY(window && QTest::qWaitForWindowActive(window));

    const QList<QChartView*> charts = window->findChildren<QChartView*>();
    QCOMPARE(barValues(charts[2]), QList<double>({0, 100}));  // 0.5 s wrong, 0.7 s right
    QVERIFY(barValues(charts[2], 1)[0] > 0 && barValues(charts[2], 1)[1] == 0);
    for (QChartView* c : charts)
      for (QAbstractAxis* a : c->chart()->axes())
        QVERIFY(a->titleText().isEmpty() || a->orientation() == Qt::Horizontal);
    auto* digits = static_cast<QCategoryAxis*>(charts[3]->chart()->axes(Qt::Horizontal)[0]);
    QCOMPARE(digits->categoriesLabels().size(), 14);

    QTableWidget* table = window->problemTable();
    window->findChild<QTabWidget*>()->setCurrentIndex(1);
    for (const QString& heading : {QStringLiteral("答え"), QStringLiteral("判定")}) {
      int column = 0;
      while (table->horizontalHeaderItem(column)->text() != heading) ++column;
      QVERIFY2(table->columnViewportPosition(column) + table->columnWidth(column) <=
                   table->viewport()->width(),
               qPrintable(heading));
    }

    QTest::keyClick(table, Qt::Key_F5);
    QVERIFY(h->events.inDrill());
    QTRY_COMPARE(QApplication::activeWindow(), main);
    QApplication::setActiveWindow(window);
    QVERIFY(QTest::qWaitForWindowActive(window));
    QTest::keyClick(table, Qt::Key_Escape);
    QVERIFY(!window->isVisible());
  }

  // Grades in the order of their rank, each pair lower < higher.
  void gradeOrder() {
    for (const QString& pair : QStringLiteral("3級<1級 １０級<９級 1級<初段 準初段<初段 九段<十段 "
                                              "十段<十一段 名人<20級")
                                   .split(' '))
      QVERIFY2(gradeRank(pair.section('<', 0, 0)) < gradeRank(pair.section('<', 1)),
               qPrintable(pair));
  }
};

PELATTO_TEST_MAIN(ProgressTest)
#include "test_progress.moc"
