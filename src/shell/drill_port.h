#pragma once

#include <QList>
#include <QRect>
#include <deque>
#include <functional>
#include <optional>

#include "countdown/column_fit.h"
#include "engine/drill_events.h"

class QObject;
class QWidget;
class frmPelatto;
namespace pf {
class Clock;
}

// What the features around the window may do with it: hear its drill
// events, read the panel and where things stand on the window, and act as a
// learner does, through the controls. They never call the window's handlers
// or touch its drill state.
class DrillPort {
 public:
  explicit DrillPort(frmPelatto& window) : w_(window) {}
  ~DrillPort();
  DrillPort(const DrillPort&) = delete;
  DrillPort& operator=(const DrillPort&) = delete;

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
  // Ends a loan of settings (lendSettings): what is set now is the learner's.
  void applySettings(const DrillSettings& s);

  // Sets the panel for a while, as a replay does. The learner's own settings
  // come back at the next start of a drill after returnOnNextStart(), or at
  // takeBackSettings(), keeping whatever the learner moved meanwhile.
  void lendSettings(const DrillSettings& s);
  void returnOnNextStart();
  void takeBackSettings();
  // The learner's own settings: the panel, or during a loan what comes back.
  DrillSettings ownSettings() const;

  // The learner's buttons and whether each is enabled; a disabled one does nothing.
  bool canStart() const;
  bool canHold() const;
  bool canAnswer() const;
  bool canAbort() const;
  void pressStart();
  void pressHold();
  void pressAbort();
  void pressAnswer();

  // The draws the next numbers are made from (see replay).
  void scriptDraws(std::deque<float> draws);

  // Where things stand, in pixels of the window's client area; an empty
  // rectangle for what is not shown.
  QRect displayArea() const;  // above the panel
  QRect panelArea() const;
  QRect totalArea() const;  // the text of the total shown as the answer
  struct Column {
    QRect text;         // the column's totals
    int linePitch = 0;  // from one total to the next
    double points = 0;  // its font size
  };
  // Answer column 0 to 3 (problems 1-5, 6-10, 11-15, 16 on).
  Column answerColumn(int column) const;
  // Every text the display shows and the panel. With `flashBand`, while a
  // drill runs, also where numbers may flash and the prompt may appear.
  QList<QRect> takenAreas(bool flashBand = false) const;
  // Room kept beside the answer columns when they are next shown (the
  // answer button lays them out).
  void reserveBesideColumns(const layout::ColumnRoom& room);

  // Calls `changed` after a display text or the panel was shown, hidden,
  // moved or resized (the window's resize moves the panel), until `owner`
  // is destroyed.
  void watchLayout(QObject* owner, std::function<void()> changed) const;
  // Calls `changed` after one of the learner's buttons was enabled or disabled.
  void watchButtons(QObject* owner, std::function<void()> changed) const;

 private:
  struct Loan {
    DrillSettings own;   // the learner's, when the loan began
    DrillSettings lent;  // what the loan set
  };
  void applyPanel(const DrillSettings& s);

  frmPelatto& w_;
  std::optional<Loan> loan_;
  std::optional<DrillSettings> settling_;  // the learner's, while a loan is set or given back
};
