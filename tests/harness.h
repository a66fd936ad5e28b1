#pragma once

#include <QTest>
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
  // Clicks a button as the learner does.
  static void click(pf::CommandButton& b) { QTest::mouseClick(b.widget(), Qt::LeftButton); }
};

// Test entry point with the program's own application set-up (style, fonts).
#define PELATTO_TEST_MAIN(TestClass)             \
  int main(int argc, char** argv) {              \
    qputenv("QT_QPA_PLATFORM", "offscreen");     \
    pf::Application app(argc, argv);             \
    TestClass tc;                                \
    return QTest::qExec(&tc, argc, argv);        \
  }
