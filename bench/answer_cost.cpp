// SPDX-License-Identifier: GPL-3.0-or-later
// What typed answers cost the window: the extra time every event spends in
// their key filter, the time from a digit key to the field on screen, and a
// full re-placement of the marks of a 20-problem run. Offscreen, in
// virtual drill time; prints medians of repeated batches.

#include <QApplication>
#include <QKeyEvent>
#include <QRegularExpression>
#include <QWidget>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "answers/typed_answers.h"
#include "host/feature_host.h"
#include "platform/application.h"
#include "platform/clock.h"
#include "platform/environment.h"
#include "shell/frm_pelatto.h"
#include "shell/window_port.h"

namespace {

double nowUs() {
  return std::chrono::duration<double, std::micro>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

template <class Work>
double medianUs(int batches, int perBatch, Work work) {
  std::vector<double> t;
  for (int b = 0; b < batches; ++b) {
    const double start = nowUs();
    for (int k = 0; k < perBatch; ++k) work();
    t.push_back((nowUs() - start) / perBatch);
  }
  std::nth_element(t.begin(), t.begin() + static_cast<long>(t.size() / 2), t.end());
  return t[t.size() / 2];
}

void press(QWidget* to, Qt::Key key) {
  QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier, QString());
  QApplication::sendEvent(to, &down);
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  qputenv("XDG_RUNTIME_DIR", "/tmp/pelatto-bench");
  pf::Application app(argc, argv);
  pf::VirtualClock clock;
  const pf::Environment env{.clock = clock};
  frmPelatto w(env);
  w.Show();
  WindowPort port(w);
  FeatureHost host(port);
  QWidget* label = w.lbl1.widget();
  QEvent probe(QEvent::User);
  const auto dispatch = [&] { QApplication::sendEvent(label, &probe); };

  const double bare = medianUs(51, 20000, dispatch);
  auto answers = std::make_unique<TypedAnswers>(host);
  const double filtered = medianUs(51, 20000, dispatch);
  std::printf("event dispatch: %.3f us bare, %.3f us with the key filter (+%.3f us)\n", bare,
              filtered, filtered - bare);

  // A run of 20 with 14-digit totals, answers typed after it, columns shown.
  w.hscl1.setValue(14), w.hscl6.setValue(3), w.hscl5.setValue(10), w.hscl7.setValue(20);
  w.optKaite.setValue(true);
  port.pressStart();
  QWidget* focus = w.cmdStart.widget();
  clock.advance(300'000);
  w.cmdStart.SetFocus();
  const double typing = medianUs(51, 200, [&] {
    press(focus, Qt::Key_7);
    press(focus, Qt::Key_Backspace);
  });
  std::printf("digit key and Backspace, field shown and placed: %.1f us a pair\n", typing);
  for (int k = 0; k < 20; ++k) press(focus, Qt::Key_1), press(focus, Qt::Key_Return);
  port.pressAnswer();
  DrillEvent settings;
  settings.kind = DrillEvent::Kind::SettingsChanged;
  const double marks = medianUs(51, 20, [&] { answers->sheet().onDrillEvent(settings); });
  const auto shown =
      port.widget()->findChildren<QWidget*>(QRegularExpression("^answer(Mark|Score)"));
  const auto visible =
      std::count_if(shown.begin(), shown.end(), [](QWidget* m) { return m->isVisible(); });
  std::printf("marks of a run of 20 (%ld shown) placed again: %.1f us\n",
              static_cast<long>(visible), marks);
  return 0;
}
