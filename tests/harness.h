#pragma once

#include <QScrollBar>
#include <QTest>
#include <cstdlib>
#include <memory>

#include "platform/application.h"
#include "platform/clock.h"
#include "shell/frm_pelatto.h"

// The real window on a virtual clock: a test advances drill time in
// milliseconds of its own and reads what the learner would see.
struct Harness {
  pf::VirtualClock clock;
  std::unique_ptr<frmPelatto> f;

  explicit Harness(std::uint64_t seed = 1) : f(std::make_unique<frmPelatto>(clock)) {
    f->rnd.seed(seed);
    f->Show();
  }
  frmPelatto* operator->() const { return f.get(); }
  void advance(std::int64_t ms) { clock.advance(ms); }

  // The learner's actions on the real widgets.
  static void click(pf::CommandButton& b) { QTest::mouseClick(b.widget(), Qt::LeftButton); }
  static void click(pf::OptionButton& o) { QTest::mouseClick(o.widget(), Qt::LeftButton); }
  static void click(pf::CheckBox& c) { QTest::mouseClick(c.widget(), Qt::LeftButton); }
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
  // Sets a bar's value with the learner's own means: a drag and its release.
  static void set(pf::ScrollBar& s, int value) {
    dragTo(s, value);
    release(s);
  }
};

// Test entry point with the program's own application set-up (style, fonts).
#define PELATTO_TEST_MAIN(TestClass)                  \
  int main(int argc, char** argv) {                   \
    qputenv("QT_QPA_PLATFORM", "offscreen");          \
    qputenv("XDG_RUNTIME_DIR", "/tmp/pelatto-tests"); \
    pf::Application app(argc, argv);                  \
    TestClass tc;                                     \
    return QTest::qExec(&tc, argc, argv);             \
  }
