#include "shell/window_port.h"

#include <algorithm>

#include "platform/fonts.h"
#include "shell/frm_pelatto.h"

void WindowPort::subscribe(DrillListener* listener, Stage stage) {
  w_.events.subscribe(listener, static_cast<int>(stage));
}
void WindowPort::unsubscribe(DrillListener* listener) { w_.events.unsubscribe(listener); }
QWidget* WindowPort::widget() const { return w_.form.widget(); }
pf::Clock& WindowPort::clock() const { return w_.clock; }
DrillSettings WindowPort::settings() const { return w_.currentSettings(); }
bool WindowPort::grouping() const { return w_.chk1.Value() == 1; }
QFont WindowPort::font(double points, bool bold) const { return pf::formFont(points, bold); }

void WindowPort::applySettings(const DrillSettings& s) {
  DrillEvents::Scope scope(w_.events);
  w_.hscl1.setValue(s.longest);
  w_.hscl2.setValue(s.shortest);
  w_.hscl6.setValue(s.terms);
  w_.hscl3.setValue(s.mix);
  // The extension pins the pace to 200 and lives only near it: through 200
  // first, so that a pace of 197-203 with an extension survives.
  w_.hscl5.setValue(200);
  w_.hscl8.setValue(s.extension);
  w_.hscl5.setValue(s.pace);
  w_.hscl7.setValue(s.runLength);
  w_.chk1.setValue(s.grouping ? 1 : 0);
  // Manual and answer-later share one option; the run length chose its caption.
  pf::OptionButton& mode = s.mode == AnswerMode::Automatic ? w_.optKaiji : w_.optKaite;
  if (!mode.Value()) mode.setValue(true);
  pf::OptionButton* speeds[] = {&w_.optC1, &w_.optC2, &w_.optC3};
  pf::OptionButton& speed = *speeds[std::clamp(s.countdownSpeed, 1, 3) - 1];
  if (!speed.Value()) speed.setValue(true);
  // The colour buttons are off during a drill; a preset answer would wait for the next dialog.
  if (s.textColour != w_.cmnDialg1.Color() && w_.cmdMojiiro.Enabled()) {
    w_.cmnDialg1.answerNext(s.textColour);
    w_.cmdMojiiro.click();
  }
  if (s.backColour != w_.form.BackColor() && w_.cmdHaikei.Enabled()) {
    w_.cmnDialg2.answerNext(s.backColour);
    w_.cmdHaikei.click();
  }
}

bool WindowPort::canStart() const { return w_.cmdStart.Enabled(); }
void WindowPort::pressStart() { w_.cmdStart.click(); }
void WindowPort::pressHold() { w_.cmdTome.click(); }
void WindowPort::pressAbort() { w_.cmdStop.click(); }
void WindowPort::pressAnswer() { w_.cmdAns.click(); }
void WindowPort::scriptDraws(std::deque<float> draws) { w_.rnd.script(std::move(draws)); }
