// SPDX-License-Identifier: GPL-3.0-or-later
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QStandardPaths>
#include <QTextStream>
#include <QTreeWidget>

#include "grades/grade_chooser.h"
#include "grades/grade_test.h"
#include "grades/grade_tests.h"
#include "grades/grade_window.h"
#include "harness.h"
#include "host/window_menu.h"

// A grade test on the real window in virtual time: the panel it sets, the
// run of ten, the answers as the typed-answers feature marks them, and what
// ends a test early.

namespace {

using K = DrillEvent::Kind;

struct FakeHistory : HistoryApi {
  QList<RecordContext> contexts;
  QList<GradeTestRecord> begun, finished;
  void setContext(const RecordContext& c) override { contexts << c; }
  qint64 beginGradeTest(const GradeTestRecord& t) override { return begun << t, 40 + begun.size(); }
  void finishGradeTest(const GradeTestRecord& t) override { finished.prepend(t); }
  QList<GradeTestRecord> gradeTests() const override { return finished; }
};

// What the drill showed: each series' total and how long its numbers were
// on screen, from the first one's appearance to the last one's blank, in ms.
struct Recorder : DrillListener {
  QList<double> totals;
  QList<qint64> seriesMs;
  QMap<K, int> count;
  QList<int> digits;  // of every number shown
  qint64 first = -1, lastBlank = 0;
  void onDrillEvent(const DrillEvent& e) override {
    ++count[e.kind];
    if (e.kind == K::NumberShown)
      digits << int(e.text.size()), first = first < 0 ? e.timeNs : first;
    if (e.kind == K::Blanked) lastBlank = e.timeNs;
    if (e.kind == K::SeriesEnded)
      totals << e.value, seriesMs << (lastBlank - first) / 1'000'000, first = -1;
  }
};

struct Session {
  Harness h;
  WindowPort port{*h.f};
  FakeHistory history;
  Recorder seen;
  LadderSet ladders = loadLadders();
  GradeTest test{port, &history};

  Session() { port.subscribe(&seen); }
  void prepare(const QString& name) { test.prepare(ladders.ladders[0], *ladders.find(name)); }
  void pressStart() { QTest::mouseClick(test.window().startButton(), Qt::LeftButton); }
  // Runs the drill until the run is over (or two hours have passed).
  void runToEnd() {
    h.clock.advanceUntil([&] { return seen.count[K::RunEnded] > 0; }, 7'200'000);
  }
  // The typed-answers feature marking the run: the first `right` correct,
  // the rest wrong or not given.
  void mark(int right) {
    for (int k = 0; k < seen.totals.size(); ++k) {
      const double t = seen.totals[k];
      test.onAnswerMarked({k, t, k < right ? t : k % 2 ? std::optional(t + 1) : std::nullopt});
    }
  }
};

}  // namespace

class GradeTestTest : public QObject {
  Q_OBJECT
 private slots:
  void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

  // A whole 十段 test: the window's plan, the panel it sets, ten problems,
  // the answers marked; score, verdict and record for 4 to 7 right.
  void fullTest_data() {
    QTest::addColumn<QString>("outcome");  // ten points a right answer, and the verdict
    QTest::newRow("4") << "40 点　不合格";
    QTest::newRow("5") << "50 点　準合格";
    QTest::newRow("6") << "60 点　準合格";
    QTest::newRow("7") << "70 点　合格";
    QTest::newRow("10") << "100 点　合格";
  }
  void fullTest() {
    QFETCH(QString, outcome);
    const int right = outcome.section(' ', 0, 0).toInt() / 10;
    Session s;
    s.port.widget()->resize(1024, 700);
    s.prepare("十段");
    GradeWindow& w = s.test.window();
    QVERIFY(w.isVisible());
    const QString plan = w.findChild<QLabel*>("gradeFacts")->text();
    for (const char* fact :
         {"規定の時間: 3 秒", "この試験の時間: 3.045 秒（1 口 0.21 秒）", "3 桁・15 口・10 問"})
      QVERIFY2(plan.contains(fact), qPrintable(plan));
    const DrillSettings panel = s.port.settings();
    QCOMPARE(std::tuple(panel.longest, panel.shortest, panel.mix, panel.terms, panel.pace,
                        panel.extension, panel.runLength, panel.mode),
             std::tuple(3, 3, 0, 15, 21, 0, 10, AnswerMode::Later));
    QVERIFY(s.history.begun.isEmpty());

    s.pressStart();
    QVERIFY(!w.isVisible());
    QCOMPARE(s.test.state(), GradeTest::State::Running);
    const RecordContext c = s.history.contexts.value(0);
    QCOMPARE(std::tuple(s.history.begun.size(), c.kind, c.grade, c.testId),
             std::tuple(qsizetype(1), RecordContext::Kind::Test, QString("十段"), qint64(41)));
    s.runToEnd();
    QCOMPARE(s.seen.seriesMs, QList<qint64>(10, 3045));  // ten problems at their official time
    QCOMPARE(s.seen.digits, QList<int>(150, 3));
    QCOMPARE(s.test.state(), GradeTest::State::Marking);

    s.port.pressAnswer();
    QCOMPARE(s.seen.count[K::ColumnsShown], 1);
    s.mark(right);
    QCOMPARE(s.test.state(), GradeTest::State::Idle);
    const GradeTestRecord r = s.history.finished.value(0);
    QCOMPARE(std::tuple(r.id, r.grade, r.ladder, r.problems, r.correct),
             std::tuple(qint64(41), QString("十段"), s.ladders.ladders[0].name, 10, right));
    QCOMPARE(r.result, outcome.section(u'　', 1));
    QCOMPARE(s.history.contexts.value(1).kind, RecordContext::Kind::Practice);
    QCOMPARE(s.history.contexts.size(), 2);
    QCOMPARE(w.isVisible() ? w.outcome() : QString(), outcome);
    QCOMPARE(w.findChild<QLabel*>("gradeHighest")->text(),
             right >= 7 ? "最高合格: 十段" : "合格した段位はまだありません");
    QVERIFY(w.accessibleDescription().startsWith(outcome));
    // The result stands clear of the answer columns.
    const QPoint origin = s.port.widget()->mapToGlobal(QPoint(0, 0));
    for (const QRect column : {s.port.answerColumn(0).text, s.port.answerColumn(1).text})
      QVERIFY(!column.isEmpty() && !w.frameGeometry().intersects(column.translated(origin)));
    // Answers told again after the end belong to no test.
    s.mark(10);
    QCOMPARE(s.history.finished.size(), 1);
  }

  // A setting the grade fixes, moved at some point of the test, ends it as
  // abandoned while the drill goes on as it would; a free one does not.
  void settingMoved_data() {
    // from the start
    columns<QString, bool, bool>("actions", "abandoned", "drillGoesOn");
    QTest::newRow("pace while flashing") << "4000 hscl5+" << true << true;
    QTest::newRow("terms in a countdown") << "19000 hscl6-" << true << true;
    QTest::newRow("run length") << "1000 hscl7-" << true << true;
    QTest::newRow("digits") << "4000 hscl1+" << true << false;
    QTest::newRow("pace dragged") << "4000 hscl5~30" << true << true;
    QTest::newRow("automatic answers") << "4000 optKaiji" << true << true;
    QTest::newRow("abort") << "60000 cmdStop" << true << false;
    QTest::newRow("after the run") << "200000 hscl6-" << true << true;
    QTest::newRow("new run before marking") << "200000 cmdStart" << true << true;
    QTest::newRow("grouping") << "4000 chk1" << false << true;
    QTest::newRow("hold") << "4000 cmdTome 3000 cmdTome" << false << true;
  }
  void settingMoved() {
    auto [actions, abandoned, drillGoesOn] =
        fetch<QString, bool, bool>("actions", "abandoned", "drillGoesOn");
    Session s;
    s.prepare("十段");
    s.pressStart();
    s.h.play(actions);
    QCOMPARE(std::pair(s.test.state() == GradeTest::State::Idle, s.seen.count[K::Aborted] == 0),
             std::pair(abandoned, drillGoesOn));
    if (!abandoned) s.runToEnd(), s.port.pressAnswer(), s.mark(8);
    QCOMPARE(s.history.finished.value(0).result, abandoned ? "中断" : "合格");
    if (abandoned) QCOMPARE(s.test.window().outcome(), "中断");
    QCOMPARE(s.history.contexts.last().kind, RecordContext::Kind::Practice);
  }

  // Another grade chosen mid-test abandons the first; the new one starts
  // from its own plan, and closing its window before the start does nothing.
  void secondGrade() {
    Session s;
    s.prepare("十段");
    s.pressStart();
    s.h.clock.advance(5000);
    s.prepare("五段");
    const GradeTestRecord first = s.history.finished.value(0);
    QCOMPARE(std::pair(first.grade, first.result), std::pair(QString("十段"), QString("中断")));
    QCOMPARE(s.test.state(), GradeTest::State::Ready);
    QCOMPARE(std::pair(s.port.settings().terms, s.port.settings().pace), std::pair(10, 74));
    QVERIFY(s.port.canStart());
    s.test.window().close();
    QCOMPARE(s.test.state(), GradeTest::State::Idle);
    s.port.pressStart();
    s.runToEnd();
    QCOMPARE(s.history.begun.size(), 1);
  }

  // The menu entry's chooser, and the command line's grade by name.
  void chooserAndName() {
    Hosted w;
    auto& [h, port, host] = w;
    LadderSet set = loadLadders();
    GradeTests grades(host, set);
    host.menu().menu()->actions().last()->trigger();
    QTreeWidget* list = grades.chooser().list();
    QVERIFY(grades.chooser().isVisible());
    QTreeWidgetItem* tenth = list->topLevelItem(0)->child(7);
    QCOMPARE(QStringList({tenth->text(0), tenth->text(3), tenth->text(4), tenth->text(5)}),
             QStringList({"十段", "3 秒", "3.045 秒", "0.21 秒"}));
    list->setCurrentItem(tenth);
    QTest::keyClick(list, Qt::Key_Return);
    QVERIFY(!grades.chooser().isVisible());
    QCOMPARE(grades.test().window().title(), QString("十段　認定試験"));
    QCOMPARE(port.settings().pace, 21);

    QString out;
    QTextStream err(&out);
    QVERIFY(grades.startGradeByName("二十段", err));
    QCOMPARE(port.settings().pace, 10);
    QVERIFY(grades.startGradeByName(" 十段", err));
    QVERIFY(out.isEmpty());
    QVERIFY(!grades.startGradeByName("21段", err));
    QVERIFY2(out.contains("「21段」") && out.contains("三段 四段 五段") && out.contains("二十段"),
             qPrintable(out));
  }
};

PELATTO_TEST_MAIN(GradeTestTest)
#include "test_grade_test.moc"
