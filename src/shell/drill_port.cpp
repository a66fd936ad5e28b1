#include "shell/drill_port.h"

#include <algorithm>

#include "shell/frm_pelatto.h"

void DrillPort::subscribe(DrillListener* listener) { w_.events.subscribe(listener); }
void DrillPort::unsubscribe(DrillListener* listener) { w_.events.unsubscribe(listener); }
QWidget* DrillPort::widget() const { return w_.form.widget(); }
pf::Clock& DrillPort::clock() const { return w_.clock; }
DrillSettings DrillPort::settings() const { return w_.currentSettings(); }
bool DrillPort::grouping() const { return w_.chk1.Value() == 1; }

void DrillPort::applySettings(const DrillSettings& s) {
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

bool DrillPort::canStart() const { return w_.cmdStart.Enabled(); }
void DrillPort::pressStart() { w_.cmdStart.click(); }
void DrillPort::pressHold() { w_.cmdTome.click(); }
void DrillPort::pressAbort() { w_.cmdStop.click(); }
void DrillPort::pressAnswer() { w_.cmdAns.click(); }
void DrillPort::scriptDraws(std::deque<float> draws) { w_.rnd.script(std::move(draws)); }
