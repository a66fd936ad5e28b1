// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <cstdint>
#include <deque>
#include <functional>
#include <vector>

#include "engine/problem_maker.h"
#include "platform/colour.h"

// What the panel is set to, as a learner reads it off the window.
enum class AnswerMode { Automatic, Manual, Later };

struct DrillSettings {
  int longest = 1;        // longest digit count, 1-14
  int shortest = 1;       // shortest digit count, 1-longest
  int mix = 0;            // shorter numbers per problem
  int terms = 5;          // numbers per problem, 2-30
  int pace = 200;         // time per number, hundredths of a second
  int extension = 0;      // extra display ticks
  int runLength = 1;      // problems per run, 1-20
  bool grouping = false;  // thousands separators in the display
  AnswerMode mode = AnswerMode::Automatic;
  int countdownSpeed = 1;  // 1 slow .. 3 fast
  pf::Colour textColour = 0x00FFFFFF;
  pf::Colour backColour = 0x00006000;

  bool operator==(const DrillSettings&) const = default;
};

// What of the settings the making of the numbers reads.
inline NumberRules numberRules(const DrillSettings& s) {
  return {s.longest, s.shortest, s.mix, s.terms};
}

// One thing a learner would notice about the drill.
struct DrillEvent {
  enum class Kind {
    Started,          // the start button began a run (settings)
    CountdownEnded,   // the dial finished; flashing begins (index: problem in the run)
    NumberShown,      // a number appeared (value, text as displayed, index from 0)
    Blanked,          // the display was cleared between numbers
    SeriesEnded,      // the last number went; the answer wait begins (value: total)
    AnswerWaitEnded,  // the wait ended without showing the total (manual, answer-later)
    AnswerRevealed,   // the total was shown (value: total)
    ColumnsShown,     // the run's answer columns were shown
    NextProblem,      // the hand-over started the next problem's countdown (index)
    RunEnded,         // the hand-over found no further problem
    Held,
    Resumed,
    Aborted,          // a drill in progress was stopped and the window is idle
    SettingsChanged,  // a panel value changed (settings)
    Closed,           // the window is closing
  };
  Kind kind = Kind::Started;
  std::int64_t timeNs = 0;   // monotonic time of the clock that runs the drill
  std::int64_t shownNs = 0;  // when the change it tells of reached the screen (late ticks later)
  double value = 0;
  QString text;
  int index = 0;
  DrillSettings settings;
};

class DrillListener {
 public:
  virtual ~DrillListener() = default;
  virtual void onDrillEvent(const DrillEvent& event) = 0;
};

// The window's announcements to everything built around it. Listeners get a
// copy of each event after the handler's own effects; nothing they do or
// throw reaches the drill.
class DrillEvents {
 public:
  using Now = std::function<std::int64_t()>;
  // now: the drill's time; shown: when the current change reaches the screen.
  explicit DrillEvents(Now now, Now shown = {}) : now_(std::move(now)), shown_(std::move(shown)) {}

  // Held for the run of a handler: what it and the handlers nested in it
  // announce reaches the listeners when the outermost one has returned, so a
  // listener never acts on the window in the middle of a handler.
  class Scope {
   public:
    explicit Scope(DrillEvents& events) : events_(events) { ++events_.depth_; }
    ~Scope();
    Scope(const Scope&) = delete;
    Scope& operator=(const Scope&) = delete;

   private:
    DrillEvents& events_;
  };

  // Listeners of a lower stage hear each event first; within a stage, in the
  // order they came.
  void subscribe(DrillListener* listener, int stage = 0);
  void unsubscribe(DrillListener* listener);

  void announce(DrillEvent::Kind kind, double value = 0, const QString& text = {}, int index = 0);
  // Announces SettingsChanged only when the settings differ from the last ones announced.
  void settingsChanged(const DrillSettings& settings);
  void started(const DrillSettings& settings);

  // Whether a run is between its start and its end or abort.
  bool inDrill() const { return inDrill_; }
  const DrillSettings& settings() const { return settings_; }

 private:
  void deliver(DrillEvent event);
  void drain();
  void tell(DrillListener* listener, const DrillEvent& event);

  Now now_, shown_;
  struct Subscriber {
    DrillListener* listener;
    int stage;
  };
  std::vector<Subscriber> listeners_;
  std::vector<DrillListener*> reported_;  // listeners whose failure was already reported
  DrillSettings settings_;
  bool inDrill_ = false;
  std::deque<DrillEvent> pending_;
  bool delivering_ = false;
  int depth_ = 0;  // handlers running
};
