// How late the flashed numbers reach the screen. Runs the real window on
// Qt's event loop at 0.10 s per number with 30 terms, and for every change
// of the big display times the flash tick, the paint of the display label
// and the end of the window repaint that carries it to the screen, against
// the ideal schedule: the flash timer's start plus one 50 ms tick per step.
//
//   flash_timing [--warm]    --warm renders the digits once before the start

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/application.h"
#include "platform/clock.h"
#include "shell/frm_pelatto.h"

namespace {

std::int64_t nowNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

double ms(std::int64_t ns) { return static_cast<double>(ns) / 1e6; }

// One change of the display's caption made by a flash tick.
struct Change {
  QString caption;
  int tick = 0;  // flash tick that made it, from 1
  std::int64_t tickAt = 0, paintStart = 0, paintEnd = 0, onScreen = 0;
};

// Times the display label's paint and the window repaint that flushes it,
// by running both inside the filter.
class PaintProbe final : public QObject {
 public:
  PaintProbe(QWidget* label, std::vector<Change>& changes) : label_(label), changes_(changes) {
    label->installEventFilter(this);
    label->window()->installEventFilter(this);
  }

  // Paint time of a label's caption: the first paint, then a second one.
  static std::pair<double, double> paintCost(QWidget* w) {
    std::pair<double, double> cost;
    for (double* out : {&cost.first, &cost.second}) {
      const std::int64_t t = nowNs();
      w->repaint();
      *out = ms(nowNs() - t);
    }
    return cost;
  }

 protected:
  bool eventFilter(QObject* o, QEvent* e) override {
    Change* last = changes_.empty() ? nullptr : &changes_.back();
    if (o == label_ && e->type() == QEvent::Paint && last && !last->paintStart) {
      last->paintStart = nowNs();
      o->event(e);
      last->paintEnd = nowNs();
      return true;
    }
    if (o == label_->window() && e->type() == QEvent::UpdateRequest) {
      o->event(e);
      if (last && last->paintEnd && !last->onScreen) last->onScreen = nowNs();
      return true;
    }
    return false;
  }

 private:
  QWidget* label_;
  std::vector<Change>& changes_;
};

double percentile(std::vector<double> v, double p) {
  std::sort(v.begin(), v.end());
  const auto k = static_cast<std::size_t>(p * static_cast<double>(v.size() - 1) + 0.5);
  return v[std::min(k, v.size() - 1)];
}

}  // namespace

int main(int argc, char** argv) {
  if (!pf::Application::displayAvailable()) {
    std::fputs("flash_timing: needs a display; run it under xvfb-run\n", stderr);
    return 1;
  }
  const bool warm = argc > 1 && std::strcmp(argv[1], "--warm") == 0;
  pf::Application app(argc, argv);
  pf::EventLoopClock clock;
  const pf::Environment env{.clock = clock};
  frmPelatto w(env);
  w.Show();
  w.hscl5.setValue(10);
  w.hscl6.setValue(30);

  std::vector<Change> changes;
  PaintProbe probe(w.lbl1.widget(), changes);
  std::int64_t clickAt = 0, flashStart = 0, seriesEnd = 0;
  int ticks = 0;

  const auto countdownTick = w.tmr1.onTimer;
  w.tmr1.onTimer = [&] {
    countdownTick();
    if (!flashStart && w.tmr2.Interval() != 0) flashStart = nowNs();
  };
  const auto flashTick = w.tmr2.onTimer;
  w.tmr2.onTimer = [&] {
    const std::int64_t t = nowNs();
    const QString before = w.lbl1.Caption();
    flashTick();
    ++ticks;
    if (w.lbl1.Caption() != before) changes.push_back({w.lbl1.Caption(), ticks, t});
    if (w.tmr3.Interval() != 0) {
      seriesEnd = t;
      QTimer::singleShot(300, [] { QCoreApplication::quit(); });
    }
  };

  // A digit the drill never shows alone, at the display's 250 pt, on a
  // label of its own: its first paint and a repeat.
  pf::Label sample(w.form, "sample");
  sample.setFontSize(250);
  sample.setAutoSize(true);
  sample.setCaption(QStringLiteral("0"));
  sample.setVisible(true);
  double warmCost = 0;
  std::pair<double, double> firstPaint;

  QTimer::singleShot(500, [&] {
    firstPaint = PaintProbe::paintCost(sample.widget());
    sample.setVisible(false);
    if (warm) {
      const std::int64_t t = nowNs();
      w.lbl1.warmGlyphs(QStringLiteral("0123456789"));
      warmCost = ms(nowNs() - t);
    }
    clickAt = nowNs();
    w.cmdStart.click();
  });
  app.exec();

  std::printf("Flash timing at 0.10 s per number (50 ms ticks), %d terms, %s glyphs\n", w.kazu,
              warm ? "warmed" : "cold");
  std::printf("countdown: %.2f ms (ideal 3840)\n\n", ms(flashStart - clickAt));
  std::printf("  #  caption  tick late  painted late  paint took  on screen\n");
  std::vector<double> late;
  for (std::size_t k = 0; k < changes.size(); ++k) {
    const Change& c = changes[k];
    const std::int64_t ideal = flashStart + c.tick * std::int64_t{50'000'000};
    if (c.caption.isEmpty()) continue;
    const double visible = k + 1 < changes.size() && c.onScreen && changes[k + 1].onScreen
                               ? ms(changes[k + 1].onScreen - c.onScreen)
                               : -1;
    if (!c.onScreen) {
      std::printf("%3zu  %7s  %9.3f  never painted\n", late.size() + 1, qPrintable(c.caption),
                  ms(c.tickAt - ideal));
      continue;
    }
    late.push_back(ms(c.onScreen - ideal));
    std::printf("%3zu  %7s  %9.3f  %12.3f  %10.3f  %9.3f\n", late.size(), qPrintable(c.caption),
                ms(c.tickAt - ideal), late.back(), ms(c.paintEnd - c.paintStart), visible);
  }
  if (late.empty()) {
    std::puts("no number reached the screen");
    return 1;
  }
  std::printf("\nlateness on screen (ms): median %.3f, 99th percentile %.3f, max %.3f\n",
              percentile(late, 0.5), percentile(late, 0.99),
              *std::max_element(late.begin(), late.end()));
  const std::int64_t idealEnd = flashStart + (2 * w.kazu + 1) * std::int64_t{50'000'000};
  std::printf("series end drift: %.3f ms (ideal end %.0f ms after the flash start)\n",
              ms(seriesEnd - idealEnd), ms(idealEnd - flashStart));
  std::printf("first paint of a 250 pt number: %.3f ms; repeated: %.3f ms\n", firstPaint.first,
              firstPaint.second);
  if (warm) std::printf("warming the ten digits took %.3f ms\n", warmCost);
  return 0;
}
