// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QRect>
#include <deque>
#include <functional>

#include "countdown/column_fit.h"
#include "engine/drill_events.h"

class QFont;
class QObject;
class QWidget;
namespace pf {
class Clock;
}

// What the features around the window may do with it: hear its drill
// events, read the panel and where things stand on the window, and act as a
// learner does, through the controls. The window implements it; a feature
// sees nothing else of the window.
class DrillPort {
 public:
  virtual ~DrillPort() = default;

  // Listeners of an earlier stage hear every event before those of a later
  // one, whatever order they came in: the marks of a problem exist before
  // anything records it.
  enum class Stage { Answers, Features, Records };
  virtual void subscribe(DrillListener* listener, Stage stage = Stage::Features) = 0;
  virtual void unsubscribe(DrillListener* listener) = 0;

  // The top-level widget: for a feature's own overlay, key filter or menu.
  virtual QWidget* widget() const = 0;
  virtual pf::Clock& clock() const = 0;
  virtual DrillSettings settings() const = 0;
  // The window's digits when the display shows them with separators.
  virtual bool grouping() const = 0;
  // The window's typeface at a size, for a feature's own labels.
  virtual QFont font(double points, bool bold) const = 0;

  // Sets every value through its control, as the learner would, in an order
  // that gives the same panel: digits before the mix, terms before the mix,
  // the extension before the pace, the run length before the answer mode.
  // Options already selected are left alone. Colours go through their dialogs.
  // Ends a loan of settings (lendSettings): what is set now is the learner's.
  virtual void applySettings(const DrillSettings& s) = 0;

  // Sets the panel for a while, as a replay does. The learner's own settings
  // come back at the next start of a drill after returnOnNextStart(), or at
  // takeBackSettings(), keeping whatever the learner moved meanwhile.
  virtual void lendSettings(const DrillSettings& s) = 0;
  virtual void returnOnNextStart() = 0;
  virtual void takeBackSettings() = 0;
  // The learner's own settings: the panel, or during a loan what comes back.
  virtual DrillSettings ownSettings() const = 0;

  // The learner's buttons and whether each is enabled; a disabled one does nothing.
  virtual bool canStart() const = 0;
  virtual bool canHold() const = 0;
  virtual bool canAnswer() const = 0;
  virtual bool canAbort() const = 0;
  virtual void pressStart() = 0;
  virtual void pressHold() = 0;
  virtual void pressAbort() = 0;
  virtual void pressAnswer() = 0;

  // The draws the next numbers are made from (see engine/problem_maker.h).
  virtual void scriptDraws(std::deque<float> draws) = 0;

  // Where things stand, in pixels of the window's client area; an empty
  // rectangle for what is not shown.
  virtual QRect displayArea() const = 0;  // above the panel
  virtual QRect panelArea() const = 0;
  virtual QRect totalArea() const = 0;  // the text of the total shown as the answer
  struct Column {
    QRect text;         // the column's totals
    int linePitch = 0;  // from one total to the next
    double points = 0;  // its font size
  };
  // Answer column 0 to 3 (problems 1-5, 6-10, 11-15, 16 on).
  virtual Column answerColumn(int column) const = 0;
  // Every text the display shows and the panel. With `flashBand`, while a
  // drill runs, also where numbers may flash and the prompt may appear.
  virtual QList<QRect> takenAreas(bool flashBand = false) const = 0;
  // Room kept beside the answer columns when they are next shown (the
  // answer button lays them out).
  virtual void reserveBesideColumns(const layout::ColumnRoom& room) = 0;

  // Calls `changed` after a display text or the panel was shown, hidden,
  // moved or resized (the window's resize moves the panel), until `owner`
  // is destroyed.
  virtual void watchLayout(QObject* owner, std::function<void()> changed) const = 0;
  // Calls `changed` after one of the learner's buttons was enabled or disabled.
  virtual void watchButtons(QObject* owner, std::function<void()> changed) const = 0;
};
