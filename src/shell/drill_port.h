#pragma once

#include <deque>

#include "engine/drill_events.h"

class QWidget;
class frmPelatto;
namespace pf {
class Clock;
}

// What the features around the window may do with it: hear its drill
// events, read the panel, and act as a learner does, through the controls.
// They never call the window's handlers or touch its drill state.
class DrillPort {
 public:
  explicit DrillPort(frmPelatto& window) : w_(window) {}

  void subscribe(DrillListener* listener);
  void unsubscribe(DrillListener* listener);

  // The top-level widget: for a feature's own overlay, key filter or menu.
  QWidget* widget() const;
  pf::Clock& clock() const;
  DrillSettings settings() const;
  // The window's digits when the display shows them with separators.
  bool grouping() const;

  // Sets every value through its control, as the learner would, in an order
  // that gives the same panel: digits before the mix, terms before the mix,
  // the extension before the pace, the run length before the answer mode.
  // Options already selected are left alone. Colours go through their dialogs.
  void applySettings(const DrillSettings& s);

  // The learner's buttons; a disabled one does nothing.
  bool canStart() const;
  void pressStart();
  void pressHold();
  void pressAbort();
  void pressAnswer();

  // The draws the next numbers are made from (see replay).
  void scriptDraws(std::deque<float> draws);

 private:
  frmPelatto& w_;
};
