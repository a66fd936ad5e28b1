// SPDX-License-Identifier: GPL-3.0-or-later
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QMenu>

#include "app/command_line.h"
#include "app/features.h"
#include "desktop/full_screen.h"
#include "harness.h"
#include "host/window_menu.h"

// The command line, the window's keys, its context menu and full screen, on
// the real window.

namespace {

// The window with its features, active so that its keys reach it.
struct Desk {
  Desk() {
    features.windowLoaded();
    QApplication::setActiveWindow(port.widget());
    for (QAction* a : port.widget()->actions())
      QObject::connect(a, &QAction::triggered, [this, a] { triggered << a->text(); });
  }
  void key(QKeyCombination k) { QTest::keyClick(h->form.widget(), k.key(), k.keyboardModifiers()); }
  Harness h;
  WindowPort port{*h.f};
  // The user's remembered settings stay untouched.
  Features features{port, StartOptions{.defaults = true}};
  QStringList triggered;  // the texts of the actions triggered, in order
};

}  // namespace

class DesktopTest : public QObject {
  Q_OBJECT
 private slots:
  void commandLine_data() {
    // the options read, or a word of the message
    columns<QString, int, QString>("arguments", "exitCode", "result");
    QTest::newRow("none") << "" << -1 << "0 0";
    QTest::newRow("defaults") << "--defaults" << -1 << "1 0";
    QTest::newRow("screen") << "--screen 2" << -1 << "0 2";
    QTest::newRow("screen=") << "--screen=3 --defaults" << -1 << "1 3";
    QTest::newRow("history") << "--export-history out.csv" << -1 << "0 0 out.csv";
    QTest::newRow("grade") << "--grade 三級" << -1 << "0 0 三級";
    QTest::newRow("help") << "--help" << 0 << "--screen <N>";
    QTest::newRow("help lists keys") << "-h" << 0 << "F11";
    QTest::newRow("version") << "--version" << 0 << "pelatto ";  // the number is project()'s
    QTest::newRow("history to stdout, partial")
        << "--export-history - --partial" << -1 << "0 0 - partial";
    QTest::newRow("unknown") << "--fullscreen" << 2 << "unknown option '--fullscreen'";
    QTest::newRow("unknown, one dash") << "-bogus" << 2 << "unknown option '-bogus'";
    QTest::newRow("unknown with a value") << "--bogus=3" << 2 << "unknown option '--bogus'";
    QTest::newRow("version with a bad value") << "--version --screen x" << 2 << "'x'";
    QTest::newRow("help with an unknown option") << "--bogus --help" << 2 << "'--bogus'";
    QTest::newRow("partial alone") << "--partial" << 2 << "--partial goes with --export-history";
    QTest::newRow("not UTF-8") << "--export-history caf<e9>.csv" << 2 << "not valid UTF-8";
    QTest::newRow("argument") << "file.txt" << 2 << "unexpected argument 'file.txt'";
    QTest::newRow("screen 0") << "--screen 0" << 2 << "screen number";
    QTest::newRow("screen word") << "--screen two" << 2 << "'two'";
    QTest::newRow("screen missing") << "--screen" << 2 << "'--screen'";
    QTest::newRow("empty grade") << "--grade=" << 2 << "--grade needs a value";
  }
  void commandLine() {
    auto [arguments, exitCode, result] =
        fetch<QString, int, QString>("arguments", "exitCode", "result");
    // The program's own bytes; <e9> is that byte alone, which is no UTF-8.
    QList<QByteArray> raw{"pelatto"};
    if (!arguments.isEmpty()) raw += arguments.toUtf8().replace("<e9>", "\xe9").split(' ');
    std::vector<const char*> argv;
    for (const QByteArray& a : raw) argv.push_back(a.constData());
    const CommandLine c = parseCommandLine(static_cast<int>(argv.size()), argv.data());
    QCOMPARE(c.exitCode, exitCode);
    QCOMPARE(c.error.isEmpty(), exitCode <= 0);
    const QString read = QString("%1 %2 %3%4")
                             .arg(QString::number(c.defaults), QString::number(c.screen),
                                  c.exportHistory + (c.partial ? " partial" : ""), c.grade);
    if (exitCode < 0) QCOMPARE(read.trimmed(), result);
    if (exitCode >= 0)
      QVERIFY2((exitCode ? c.error : c.output).contains(result), qPrintable(c.output + c.error));
  }

  // Each key does what its button does; the drill goes on as after a click.
  // The menu's entries are enabled exactly when their buttons are.
  void shortcuts_data() {
    // Keys and controls (a number waits that many ms) = start enabled, held, flashing, total shown.
    QTest::addColumn<QString>("keys");
    QTest::newRow("F5 starts") << "F5 = 0 0 1 0";
    QTest::newRow("F6 holds") << "F5 F6 = 0 1 1 0";
    QTest::newRow("F6 resumes") << "F5 F6 F6 = 0 0 1 0";
    QTest::newRow("F8 aborts") << "F5 F8 = 1 0 0 0";
    QTest::newRow("F7 answers") << "optKaite F5 30000 F7 = 1 0 0 1";
    QTest::newRow("F7 idle does nothing") << "F7 = 1 0 0 0";
  }
  void shortcuts() {
    QFETCH(QString, keys);
    Desk d;
    for (const QString& k : keys.section(" = ", 0, 0).split(' ')) {
      k[0] == 'F' ? d.key(Qt::Key(Qt::Key_F1 + k.mid(1).toInt() - 1)) : d.h.play(k);
      if (k == "F5") d.h.clock.advance(4000);
    }
    const auto& f = *d.h.f;
    QString entries, buttons;
    for (QAction* a : d.features.host().menu().menu()->actions().mid(0, 4))
      entries += QString::number(a->isEnabled());
    for (auto* b : {&f.cmdStart, &f.cmdTome, &f.cmdAns, &f.cmdStop})
      buttons += QString::number(b->Enabled());
    QCOMPARE(entries, buttons);
    QStringList state;
    for (bool on : {f.cmdStart.Enabled(), f.SwthTome, f.tmr2.Interval() != 0, f.lbl2.Visible()})
      state << QString::number(on);
    QCOMPARE(state.join(' '), keys.section(" = ", 1));
  }

  // Digits, Backspace and Enter reach the control, never an action; no two
  // actions share a key.
  void keysAndMenu() {
    Desk d;
    QList<QKeySequence> seen;
    for (QAction* a : d.port.widget()->actions())
      for (const QKeySequence& k : a->shortcuts()) {
        QVERIFY2(!seen.contains(k), qPrintable(k.toString()));
        seen << k;
        const int key = k[0].key();
        QVERIFY(key != Qt::Key_Space && key != Qt::Key_Return && key != Qt::Key_Enter &&
                key != Qt::Key_Backspace && key != Qt::Key_Tab &&
                !(key >= Qt::Key_0 && key <= Qt::Key_9));
      }
    for (int k = Qt::Key_0; k <= Qt::Key_9; ++k) d.key(static_cast<Qt::Key>(k));
    for (Qt::Key k : {Qt::Key_Backspace, Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) d.key(k);
    QCOMPARE(d.triggered, QStringList());

    // Right click, the menu key and Shift+F10 open the menu; it names every
    // action with its key, in Japanese, and is accessible.
    QMenu* menu = d.features.host().menu().menu();
    d.key(Qt::SHIFT | Qt::Key_F10);
    QTRY_VERIFY(menu->isVisible());
    // What the platform sends for the menu key and for right clicks on the
    // background and on a scroll bar.
    QWidget* const window = d.h->form.widget();
    for (auto [reason, on] :
         {std::pair{QContextMenuEvent::Keyboard, window},
          {QContextMenuEvent::Mouse, window},
          {QContextMenuEvent::Mouse, static_cast<QWidget*>(d.h->hscl1.bar())}}) {
      menu->hide();
      QContextMenuEvent e(reason, QPoint(5, 5), on->mapToGlobal(QPoint(5, 5)));
      QApplication::sendEvent(on, &e);
      QTRY_VERIFY(menu->isVisible());
    }
    QStringList listed;
    for (QAction* a : menu->actions())
      if (!a->isSeparator())
        listed << a->text() + (a->shortcut().isEmpty() ? "" : " " + a->shortcut().toString());
    QCOMPARE(listed.join(", "),
             "スタート F5, 保留／再開 F6, 答を出す F7, 中止 F8, 成績を見る F9, "
             "直前の問題をもう一度 Ctrl+R, "
             "級・段位認定… Ctrl+G, 教室を開く…, 教室に参加…, 教室の成績表, 教室を閉じる／離れる, "
             "全画面表示 F11, 全画面表示を終わる Esc, 表示する画面, 音を鳴らす, 最初の設定に戻す");
    QAccessibleInterface* acc = QAccessible::queryAccessibleInterface(menu);
    QVERIFY(acc);
    QCOMPARE(acc->text(QAccessible::Name), QStringLiteral("メニュー"));
    QCOMPARE(acc->childCount(), menu->actions().size());
    menu->hide();
  }

  // F11 fills the screen and Esc leaves it; the layout follows both sizes and
  // a 14-digit number fits the full-screen width.
  void fullScreen() {
    Desk d;
    QWidget* w = d.port.widget();
    d.h->form.setWindowState(pf::WindowState::Normal);
    d.h->form.setClientSize(9312, 4320);
    const QRect normal = w->geometry();
    d.h.play("hscl1=14 hscl6=2");
    const auto laidOut = [&] {
      const frmPelatto& f = *d.h.f;
      return f.lbl1.Width() == f.form.Width() && f.fra1.Top() == f.form.Height() - 1600 &&
             f.fra1.Left() == f.form.Width() / 2 - f.fra1.Width() / 2 &&
             f.lbl3.Left() == f.form.Width() / 2 - 900;
    };
    QVERIFY(laidOut());
    const auto press = [&](std::initializer_list<Qt::Key> keys, bool full) {
      for (Qt::Key k : keys) d.key(k);
      QCoreApplication::processEvents();  // the platform places the window
      QCOMPARE(d.features.fullScreen().isOn(), full);
      QCOMPARE(w->geometry(), full ? w->screen()->geometry() : normal);
      QVERIFY(laidOut());
    };
    press({Qt::Key_F11}, true);
    d.port.scriptDraws(std::deque<float>(20, 0.99f));
    d.key(Qt::Key_F5);
    QVERIFY(d.h.clock.advanceUntil([&] { return d.h->lbl1.Caption().size() > 3; }, 20'000));
    const QString shown = d.h->lbl1.Caption();
    QCOMPARE(shown.size(), 14);
    QVERIFY(d.h->lbl1.widget()->fontMetrics().horizontalAdvance(shown) <= w->width());
    press({Qt::Key_Escape}, false);
    // F11 twice is the same as once and back; the drill ran on throughout.
    press({Qt::Key_F11, Qt::Key_F11}, false);
    QCOMPARE(d.triggered.count(QStringLiteral("全画面表示")), 3);
    QVERIFY(d.h->tmr2.Interval() != 0);
  }
};

PELATTO_TEST_MAIN(DesktopTest)
#include "test_desktop.moc"
