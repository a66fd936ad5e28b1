// SPDX-License-Identifier: GPL-3.0-or-later
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "engine/drill_timing.h"
#include "grades/grade_marking.h"
#include "grades/ladder_files.h"
#include "harness.h"

// The ladder files and the rules that turn a grade into a panel: the pace
// for the official time, what a file may hold and how its mistakes read.

namespace {

// Writes a whole file; false when it could not.
bool writeFile(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// A ladder file's text: the header, then the given lines.
QString ladderText(const QString& lines) { return "ladder\tうちの教室\n" + lines; }

}  // namespace

class GradesTest : public QObject {
  Q_OBJECT
 private slots:
  void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

  // Every bundled grade loads with three digits, and its pace is the one
  // whose series comes nearest the official time (its neighbours on the bar
  // come no nearer).
  void bundledLadder() {
    const LadderSet set = loadLadders();
    QVERIFY2(set.errors.isEmpty(), qPrintable(set.errors.value(0).text()));
    QCOMPARE(set.ladders.size(), 1);
    QCOMPARE(set.ladders[0].grades.size(), 18);
    for (const Grade& g : set.ladders[0].grades) {
      const int pace = paceFor(g.terms, g.officialMs).value_or(0);
      const auto off = [&](int p) {
        return std::abs(drill_timing::seriesMs(g.terms, p) - g.officialMs);
      };
      QVERIFY2(g.digits == 3 && pace >= 10 && off(pace) <= std::min(off(pace - 1), off(pace + 1)),
               qPrintable(g.name));
    }
    QCOMPARE(drill_timing::seriesMs(15, *paceFor(15, 1700)), 1740);
  }

  // The ends of the pace bar: the nearest pace must lie on it.
  void paceLimits_data() {
    QTest::addColumn<QList<int>>("termsMsPace");  // pace 0: cannot be set
    QTest::newRow("fastest exactly") << QList{15, 1450, 10};
    QTest::newRow("just rounds up to 10") << QList{15, 1378, 10};
    QTest::newRow("nearest is 9") << QList{15, 1377, 0};
    QTest::newRow("just rounds down to 300") << QList{15, 43572, 300};
    QTest::newRow("nearest is 301") << QList{15, 43573, 0};
    QTest::newRow("two terms at 3 s") << QList{2, 4500, 300};
    QTest::newRow("thirty terms, 0.3 s") << QList{30, 300, 0};
  }
  void paceLimits() {
    QFETCH(QList<int>, termsMsPace);
    QCOMPARE(paceFor(termsMsPace[0], termsMsPace[1]).value_or(0), termsMsPace[2]);
  }

  // Each kind of mistake, reported with the file, its line and what is
  // wrong; the file then offers no ladder at all.
  void mistakes_data() {
    // "line: part of the message"; line 0: the whole file
    columns<QString, QString>("text", "says");
    QTest::newRow("no header") << QString("初段\t3\t15\t8\n") << "1: ladder<TAB>";
    QTest::newRow("empty") << QString("# nothing\n\n") << "0: 空です";
    QTest::newRow("header only") << ladderText("") << "0: 級がひとつもありません";
    QTest::newRow("spaces for tabs") << ladderText("初段 3 15 8\n") << "2: 4 項目";
    QTest::newRow("a field missing") << ladderText("# x\n初段\t3\t15\n") << "3: （3 項目）";
    QTest::newRow("no name") << ladderText("\t3\t15\t8\n") << "2: 級名";
    QTest::newRow("digits 0") << ladderText("初段\t0\t15\t8\n") << "2: 桁数「0」";
    QTest::newRow("digits 15") << ladderText("初段\t15\t15\t8\n") << "2: 桁数「15」";
    QTest::newRow("digits text") << ladderText("初段\t三\t15\t8\n") << "2: 桁数「三」";
    QTest::newRow("terms 1") << ladderText("初段\t3\t1\t8\n") << "2: 口数「1」";
    QTest::newRow("terms 31") << ladderText("初段\t3\t31\t8\n") << "2: 口数「31」";
    QTest::newRow("seconds with unit") << ladderText("初段\t3\t15\t8秒\n") << "2: 秒数「8秒」";
    QTest::newRow("seconds comma") << ladderText("初段\t3\t15\t2,8\n") << "2: 秒数「2,8」";
    QTest::newRow("too fast")
        << ladderText("初段\t3\t15\t0.5\n")
        << "2: 15 口で 0.5 秒には設定できません（速さのバーで 1.45〜43.5 秒）";
    QTest::newRow("too slow") << ladderText("初段\t3\t15\t50\n") << "2: 15 口で 50 秒";
    QTest::newRow("twice") << ladderText("初段\t3\t15\t8\r\n初段\t3\t15\t6\r\n")
                           << "3: 「初段」が 2 度";
  }
  void mistakes() {
    auto [text, says] = fetch<QString, QString>("text", "says");
    const int line = says.section(": ", 0, 0).toInt();
    const LadderParse p = parseLadder(text, "school.txt");
    QVERIFY(!p.ladder);
    QCOMPARE(p.errors.size(), 1);
    QCOMPARE(p.errors[0].line, line);
    QVERIFY2(p.errors[0].message.contains(says.section(": ", 1)), qPrintable(p.errors[0].message));
    QVERIFY(p.errors[0].text().startsWith(line ? QString("school.txt:%1: ").arg(line)
                                               : QString("school.txt: ")));
  }

  // A school's folder: its good ladders load beside a broken one, in name
  // order; a name already taken and text that is not UTF-8 are reported.
  void userFolder() {
    QTemporaryDir dir;
    for (const auto& [name, bytes] : std::initializer_list<std::pair<QString, QByteArray>>{
             {"a.txt", "\xEF\xBB\xBFladder\t教室\n# 初心者向け\n10級\t1\t5\t10\n9級\t1\t5\t7.5\n"},
             {"b.txt", "ladder\t教室 B\n1級\t2\t5\t4\n1級\t2\t5\t3\n"},
             {"c.txt", "ladder\t教室\n1級\t2\t5\t4\n"},
             {"d.txt", "ladder\t\xff\xfe\n"},
             {"e.txt", "ladder\t検定 B\n1/2級\t1\t5\t4\n"},
             {"notes.md", "ladder\tnot read\n"}})
      QVERIFY(writeFile(dir.filePath(name), bytes));
    LadderSet set = loadLadders();
    readLadderFolder(dir.path(), set);
    QCOMPARE(set.gradeLists().mid(1), QStringList({"教室: 10級 9級", "検定 B: 1/2級"}));
    QCOMPARE(set.ladders[1].grades[1].officialMs, 7500);
    QStringList errors;
    for (const LadderError& e : set.errors)
      errors << QFileInfo(e.file).fileName() + ":" + QString::number(e.line);
    QCOMPARE(errors, QStringList({"b.txt:3", "c.txt:0", "d.txt:0"}));
    // Found by grade, by ladder and grade, and listed for a wrong name.
    const Ladder* in = nullptr;
    QVERIFY(set.find("十段", &in) && in == &set.ladders[0]);
    QVERIFY(set.find("教室/9級", &in) && in == &set.ladders[1]);
    QVERIFY(!set.find("教室/十段") && !set.find("11級"));
    // A grade whose name holds a slash, alone or after its ladder.
    QVERIFY(set.find("1/2級", &in) && in == &set.ladders[2]);
    QVERIFY(set.find("検定 B / 1/2級", &in) && in == &set.ladders[2]);
  }

  // Files that would slow the start are left out at a bound, with their
  // file and line; what lies within the bounds loads in linear time.
  void bounds_data() {
    // of the ladder loaded; -1: left out
    // the first mistake: "line: part of its text"
    columns<QByteArray, int, QString>("bytes", "grades", "says");
    const auto lines = [](int n, const QByteArray& form) {
      QByteArray out = "ladder\t大きな表\n";
      for (int k = 0; k < n; ++k) out += QByteArray(form).replace('%', QByteArray::number(k));
      return out;
    };
    QTest::newRow("200,000 grades, 3 MB")
        << lines(200'000, "g%\t1\t5\t3\n") << -1 << "0: バイトまで";
    QTest::newRow("1001 grades") << lines(1001, "g%\t1\t5\t3\n") << -1 << "1002: 1000 級まで";
    QTest::newRow("1000 grades") << lines(1000, "g%\t1\t5\t3\n") << 1000 << "";
    QTest::newRow("a long line") << lines(1, QByteArray(1001, 'x').append('\n')) << -1
                                 << "2: 1001 文字";
    QTest::newRow("200,000 comment lines") << lines(200'000, "#\n") + "1級\t1\t5\t3\n" << 1 << "";
    QTest::newRow("200,000 wrong lines") << lines(200'000, "x\n") << -1 << "2: 4 項目";
  }
  void bounds() {
    auto [bytes, grades, says] = fetch<QByteArray, int, QString>("bytes", "grades", "says");
    QTemporaryDir dir;
    QVERIFY(writeFile(dir.filePath("big.txt"), bytes));
    LadderSet set;
    readLadderFolder(dir.path(), set);
    QCOMPARE(set.ladders.isEmpty() ? -1 : int(set.ladders[0].grades.size()), grades);
    QVERIFY(set.errors.size() <= kMaxMistakesTold + 1);
    QCOMPARE(set.errors.isEmpty(), grades >= 0);
    if (grades >= 0) return;
    QCOMPARE(set.errors[0].line, says.section(": ", 0, 0).toInt());
    QVERIFY2(set.errors[0].text().contains(says.section(": ", 1)),
             qPrintable(set.errors[0].text()));
  }

  // The hardest grade passed, whatever the order the tests were taken in;
  // a 準合格 or an abandoned test is no pass, nor a pass on another ladder.
  void highest_data() {
    columns<QStringList, QString>("tests", "highest");
    QTest::newRow("none") << QStringList() << "";
    QTest::newRow("near pass only") << QStringList({"十段 準合格", "九段 中断"}) << "";
    QTest::newRow("older harder pass")
        << QStringList({"八段 合格", "十段 合格", "九段 合格"}) << "十段";
    QTest::newRow("other ladder") << QStringList({"other:二十段 合格", "五段 合格"}) << "五段";
  }
  void highest() {
    auto [tests, highest] = fetch<QStringList, QString>("tests", "highest");
    const Ladder dan = loadLadders().ladders.value(0);
    QList<GradeTestRecord> records;
    for (const QString& t : tests) {
      GradeTestRecord& r = records.emplaceBack();
      r.ladder = t.startsWith("other:") ? "other" : dan.name;
      r.grade = t.section(' ', 0, 0).remove("other:");
      r.result = t.section(' ', 1);
    }
    QCOMPARE(highestPassed(dan, records), highest);
  }
};

PELATTO_TEST_MAIN(GradesTest)
#include "test_grades.moc"
