// SPDX-License-Identifier: GPL-3.0-or-later
#include <QTemporaryDir>

#include "app/features.h"
#include "grades/grade_test.h"
#include "grades/grade_tests.h"
#include "harness.h"
#include "history/history.h"

// The features together on the real window, as the program builds them: a
// grade test taken with typed answers ends up marked, scored and in the
// history with each of its problems.

class FeaturesTest : public QObject {
  Q_OBJECT
 private slots:
  void gradeTestWithTypedAnswersIsRecorded() {
    QTemporaryDir dir;
    Harness h;
    WindowPort port(*h.f);
    Features features(port, {.settingsPath = dir.filePath("pelatto.conf"),
                             .historyPath = dir.filePath("history.sqlite")});
    features.windowLoaded();

    QTextStream err(stderr);
    QVERIFY(features.grades().startGradeByName(QStringLiteral("十段"), err));
    features.grades().test().start();
    h.clock.advance(200'000);  // ten problems of 15 numbers at 0.21 s and their waits
    QCOMPARE(features.grades().test().state(), GradeTest::State::Marking);

    // Seven right and three wrong, typed after the run, then the answer button.
    const QStringList totals =
        (h->lbl6.Caption() + h->lbl7.Caption()).split("\r\n", Qt::SkipEmptyParts);
    QCOMPARE(totals.size(), 10);
    for (int k = 0; k < 10; ++k)
      QTest::keyClicks(h->form.widget(), QString::number(totals[k].toLongLong() + (k > 6)) + '\r');
    Harness::click(h->cmdAns);

    const GradeTestRecord& test = features.grades().test().record();
    QCOMPARE(QString::number(test.correct) + test.result, QStringLiteral("7合格"));
    features.history().store().flush();
    const QList<GradeTestRecord> stored = features.history().gradeTests();
    QCOMPARE(stored.value(0).grade + stored.value(0).result, QStringLiteral("十段合格"));
    // Each problem of this test, "o" marked right, "x" wrong.
    QString marks;
    for (const ProblemRecord& p : features.history().store().problems({}))
      marks += p.kind != RecordContext::Kind::Test || p.testId != test.id ? '?'
               : p.mark == Mark::Correct                                  ? 'o'
                                                                          : 'x';
    QCOMPARE(marks, QStringLiteral("oooooooxxx"));
  }
};

PELATTO_TEST_MAIN(FeaturesTest)
#include "test_features.moc"
