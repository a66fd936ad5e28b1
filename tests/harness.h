// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRandomGenerator>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTest>
#include <cstdlib>
#include <memory>

#include "host/feature_host.h"
#include "platform/application.h"
#include "platform/clock.h"
#include "rows.h"
#include "shell/frm_pelatto.h"
#include "shell/window_port.h"

// What a probe showed after each change, and when.
struct Timeline {
  QList<qint64> times;
  QStringList what;
  // The non-empty entries: the numbers of a series.
  QStringList numbers() const { return QStringList(what).filter(QRegularExpression(".")); }
};

// The real window on a virtual clock: a test advances drill time in
// milliseconds of its own and reads what the learner would see. The colour
// dialogs open the platform's dialog until a test answers them in env.
struct Harness {
  pf::VirtualClock clock;
  pf::Environment env{.clock = clock};
  std::unique_ptr<frmPelatto> f;

  // A size given is the window's outer one, in pixels.
  explicit Harness(std::uint64_t seed = 1, QSize size = {}) {
    env.seed = seed;
    f = std::make_unique<frmPelatto>(env);
    f->Show();
    if (size.isValid()) f->form.widget()->resize(size);
  }
  // The window after the learner's actions (see play()).
  explicit Harness(const QString& actions, QSize size = {}) : Harness(1, size) { play(actions); }
  frmPelatto* operator->() const { return f.get(); }
  // Runs tick by tick until done() holds (or for limitMs), adding each change
  // of probe() with its time to tl.
  template <class Probe, class Done>
  Timeline& watch(Timeline& tl, Probe probe, Done done, qint64 limitMs = 3'600'000) {
    QString last = probe();
    const auto record = [&] {
      if (const QString s = probe(); s != last) tl.times << clock.now(), tl.what << (last = s);
      return done();
    };
    clock.advanceUntil(record, limitMs);
    return tl;
  }
  // The series on screen, up to its end, until `count` numbers were shown or for limitMs.
  Timeline& flash(Timeline& tl, qsizetype count = 99, qint64 limitMs = 3'600'000) {
    return watch(
        tl, [this] { return f->lbl1.Caption(); },
        [&] { return f->tmr3.Interval() != 0 || tl.numbers().size() == count; }, limitMs);
  }

  // The learner's actions on the real widgets.
  static void click(pf::CommandButton& b) { QTest::mouseClick(b.widget(), Qt::LeftButton); }
  // An arrow click: towards the right end (the classic maximum) or the left.
  static void arrow(pf::ScrollBar& s, bool right) {
    s.bar()->triggerAction(right ? QAbstractSlider::SliderSingleStepAdd
                                 : QAbstractSlider::SliderSingleStepSub);
  }
  // A click on the track, right or left of the thumb.
  static void track(pf::ScrollBar& s, bool right) {
    s.bar()->triggerAction(right ? QAbstractSlider::SliderPageStepAdd
                                 : QAbstractSlider::SliderPageStepSub);
  }
  // A thumb drag to the position of a classic value, left unreleased.
  static void dragTo(pf::ScrollBar& s, int value) {
    s.bar()->setSliderDown(true);
    s.bar()->setSliderPosition(std::abs(value - s.Min()));
  }
  static void release(pf::ScrollBar& s) { s.bar()->setSliderDown(false); }
  // Learner actions, one word each: "cmdStart" clicks the control of that name;
  // "hscl6=10" sets a bar, "hscl6~10" drags its thumb and holds it, "hscl6^"
  // releases it, "hscl6+" and "hscl6-" click its right and left arrows,
  // "hscl6>" and "hscl6<" the track right and left of the thumb; a bare number
  // waits that many milliseconds.
  void play(const QString& actions) {
    pf::ScrollBar* const bars[] = {nullptr,   &f->hscl1, &f->hscl2, &f->hscl3, nullptr,
                                   &f->hscl5, &f->hscl6, &f->hscl7, &f->hscl8};
    for (const QString& a : actions.split(' ', Qt::SkipEmptyParts)) {
      const QChar op = a.size() > 5 ? a[5] : QChar('^');
      if (bool wait = false; a.toInt(&wait), wait) {
        clock.advance(a.toInt());
      } else if (auto* w = f->form.widget()->findChild<QWidget*>(a); !a.startsWith("hscl")) {
        QVERIFY2(w, qPrintable(a));
        QTest::mouseClick(w, Qt::LeftButton);
      } else if (pf::ScrollBar& s = *bars[a[4].digitValue()]; QString("=~^").contains(op)) {
        if (op != '^') dragTo(s, a.mid(6).toInt());
        if (op != '~') release(s);  // "=" sets the bar by a drag and its release
      } else {
        op == '+' || op == '-' ? arrow(s, op == '+') : track(s, op == '>');
      }
    }
  }
};

// The window with the port and the host that features attach to.
struct Hosted {
  explicit Hosted(std::uint64_t seed = 1) : h(seed) {}
  Harness h;
  WindowPort port{*h.f};
  FeatureHost host{port};
};

// A list as the number and answer labels show it: one line each, "\r\n" ended.
inline QString listText(const QStringList& l) {
  return l.isEmpty() ? QString() : l.join("\r\n") + "\r\n";
}

// Test entry point with the program's own application set-up (style, fonts).
#define PELATTO_TEST_MAIN(TestClass)                     \
  int main(int argc, char** argv) {                      \
    qputenv("QT_QPA_PLATFORM", "offscreen");             \
    qputenv("XDG_RUNTIME_DIR", "/tmp/pelatto-tests");    \
    qputenv("XDG_DATA_HOME", "/tmp/pelatto-tests/data"); \
    pf::Application app(argc, argv);                     \
    TestClass tc;                                        \
    return QTest::qExec(&tc, argc, argv);                \
  }
