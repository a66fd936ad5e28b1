// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/window_port.h"

#include <algorithm>

#include "engine/number_text.h"
#include "platform/fonts.h"
#include "platform/widget_watch.h"
#include "shell/frm_pelatto.h"

namespace {

// The settings a loan gives back: the learner's own, but what the learner
// moved during the loan stays as moved.
DrillSettings givenBack(const DrillSettings& own, const DrillSettings& lent,
                        const DrillSettings& now) {
  DrillSettings back = own;
  const auto keepMoved = [&](auto field) {
    if (now.*field != lent.*field) back.*field = now.*field;
  };
  keepMoved(&DrillSettings::longest), keepMoved(&DrillSettings::shortest);
  keepMoved(&DrillSettings::mix), keepMoved(&DrillSettings::terms);
  keepMoved(&DrillSettings::pace), keepMoved(&DrillSettings::extension);
  keepMoved(&DrillSettings::runLength), keepMoved(&DrillSettings::grouping);
  keepMoved(&DrillSettings::mode), keepMoved(&DrillSettings::countdownSpeed);
  keepMoved(&DrillSettings::textColour), keepMoved(&DrillSettings::backColour);
  return back;
}

}  // namespace

WindowPort::~WindowPort() {
  if (loan_) w_.beforeStart = nullptr;
}

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
  loan_.reset();
  w_.beforeStart = nullptr;
  applyPanel(s);
}

void WindowPort::applyPanel(const DrillSettings& s) {
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

void WindowPort::lendSettings(const DrillSettings& s) {
  const DrillSettings own = ownSettings();
  w_.beforeStart = nullptr;
  settling_ = own;
  applyPanel(s);
  settling_.reset();
  // What the panel took, after its own rules.
  loan_ = Loan{own, settings()};
}

void WindowPort::returnOnNextStart() {
  if (loan_) w_.beforeStart = [this] { takeBackSettings(); };
}

void WindowPort::takeBackSettings() {
  if (!loan_) return;
  const DrillSettings back = ownSettings();
  loan_.reset();
  w_.beforeStart = nullptr;
  settling_ = back;
  applyPanel(back);
  settling_.reset();
}

DrillSettings WindowPort::ownSettings() const {
  // While the panel is set for a loan or back from one, its values pass through others.
  if (settling_) return *settling_;
  return loan_ ? givenBack(loan_->own, loan_->lent, settings()) : settings();
}

bool WindowPort::canStart() const { return w_.cmdStart.Enabled(); }
bool WindowPort::canHold() const { return w_.cmdTome.Enabled(); }
bool WindowPort::canAnswer() const { return w_.cmdAns.Enabled(); }
bool WindowPort::canAbort() const { return w_.cmdStop.Enabled(); }
void WindowPort::pressStart() { w_.cmdStart.click(); }
void WindowPort::pressHold() { w_.cmdTome.click(); }
void WindowPort::pressAbort() { w_.cmdStop.click(); }
void WindowPort::pressAnswer() { w_.cmdAns.click(); }
void WindowPort::scriptDraws(std::deque<float> draws) { w_.rnd.script(std::move(draws)); }

QRect WindowPort::panelArea() const { return w_.fra1.rectInWindow(); }

QRect WindowPort::displayArea() const {
  const QRect window = w_.form.clientRect();
  const QRect panel = panelArea();
  return panel.isEmpty() ? window : QRect(0, 0, window.width(), std::max(0, panel.top()));
}

QRect WindowPort::totalArea() const { return w_.lbl2.textRect(); }

DrillPort::Column WindowPort::answerColumn(int column) const {
  const pf::Label* columns[] = {&w_.lbl6, &w_.lbl7, &w_.lbl8, &w_.lbl9};
  const pf::Label& l = *columns[std::clamp(column, 0, 3)];
  return {l.textRect(), l.lineSpacing(), l.FontSize()};
}

QList<QRect> WindowPort::takenAreas(bool flashBand) const {
  QList<QRect> taken;
  for (const pf::Label* l : {&w_.lbl1, &w_.lbl2, &w_.lbl3, &w_.lbl3b, &w_.lbl4, &w_.lbl5, &w_.lbl6,
                             &w_.lbl7, &w_.lbl8, &w_.lbl9, &w_.lbl10})
    if (const QRect r = l->textRect(); !r.isEmpty()) taken << r;
  // Numbers as wide as the panel allows, and the prompt, come and go while a drill runs.
  if (flashBand && w_.events.inDrill() && w_.lbl1.Visible()) {
    const QString widest(std::max(1, static_cast<int>(w_.ketaDai)), QLatin1Char('8'));
    taken << w_.lbl1.textRectOf(groupDigits(widest));
    taken << w_.lbl3b.textRectOf(w_.lbl3b.Caption()) << w_.lbl3.textRectOf(w_.lbl3.Caption());
  }
  if (const QRect panel = panelArea(); !panel.isEmpty()) taken << panel;
  return taken;
}

void WindowPort::reserveBesideColumns(const layout::ColumnRoom& room) { w_.columnRoom = room; }

void WindowPort::watchLayout(QObject* owner, std::function<void()> changed) const {
  std::vector<QWidget*> watched{w_.fra1.widget()};
  for (const pf::Label* l : {&w_.lbl1, &w_.lbl2, &w_.lbl3, &w_.lbl3b, &w_.lbl4, &w_.lbl5, &w_.lbl6,
                             &w_.lbl7, &w_.lbl8, &w_.lbl9, &w_.lbl10})
    watched.push_back(l->widget());
  pf::watchWidgets(owner, watched, pf::WatchFor::Layout, std::move(changed));
}

void WindowPort::watchButtons(QObject* owner, std::function<void()> changed) const {
  pf::watchWidgets(
      owner, {w_.cmdStart.widget(), w_.cmdTome.widget(), w_.cmdAns.widget(), w_.cmdStop.widget()},
      pf::WatchFor::Enabled, std::move(changed));
}
