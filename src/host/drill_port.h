#pragma once

#include <deque>

#include "engine/drill_events.h"

class QFont;
class QWidget;
namespace pf {
class Clock;
}

// What the features around the window may do with it: hear its drill
// events, read the panel, and act as a learner does, through the controls.
// The window implements it; a feature sees nothing else of the window.
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
  virtual void applySettings(const DrillSettings& s) = 0;

  // The learner's buttons; a disabled one does nothing.
  virtual bool canStart() const = 0;
  virtual void pressStart() = 0;
  virtual void pressHold() = 0;
  virtual void pressAbort() = 0;
  virtual void pressAnswer() = 0;

  // The draws the next numbers are made from (see engine/problem_maker.h).
  virtual void scriptDraws(std::deque<float> draws) = 0;
};
