// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

#include "countdown/column_fit.h"
#include "engine/drill_events.h"
#include "engine/drill_state.h"
#include "platform/clock.h"
#include "platform/colour_dialog.h"
#include "platform/controls.h"
#include "platform/environment.h"
#include "platform/random_source.h"
#include "platform/scroll_bar.h"
#include "platform/timer.h"
#include "platform/window.h"
#include "shell/captions.h"
#include "shell/palette.h"

// The main window. It owns every control and the drill state; the handlers
// and procedures of every subsystem are its members and work on both by
// name. Each group of handlers lives in the file named for what it does.
class frmPelatto : public DrillState {
 public:
  // The environment (clock, colour-dialog answers, seed) must outlive the window.
  explicit frmPelatto(const pf::Environment& env);
  frmPelatto(const frmPelatto&) = delete;
  frmPelatto& operator=(const frmPelatto&) = delete;

  // Loads, lays out and shows the window. `loaded` runs before the window
  // is shown, so that what it changes is in the first paint.
  void Show(const std::function<void()>& loaded = {});

  // shell/form_load.cpp
  void Form_Load();
  void cmdEnd_Click();

  // shell/display_sizing.cpp
  void Form_Resize();
  void SizeDisplay1();
  void SizeDisplay2();
  void SizeDisplay3();
  void SizeDisplay4();
  void SizeDisplay5();
  void SizeDisplay6();
  void SizeDisplay7();
  // The preset of the longest digit count `ketaDai`.
  void ApplyDigitPreset();

  // shell/colours.cpp
  void cmdMojiiro_Click();
  void cmdHaikei_Click();
  void cmdReSet_Click();

  // engine/problem_generation.cpp
  void MakeNumber();
  // engine/digit_grouping.cpp
  void GroupDigits();
  // engine/flash_sequencer.cpp
  void tmr2_Timer();
  void ShowNumber();
  void EndSeries();
  // engine/drill_control.cpp
  void cmdStart_Click();
  void cmdStop_Click();
  void cmdTome_Click();
  void ResetToIdle();
  // A new problem's empty display, counters and countdown.
  void BeginProblem();
  // Start, answer, colour and countdown-speed controls: usable only at rest.
  void EnableIdleControls(bool enabled);

  // countdown/countdown_dial.cpp
  void DrawDialLine();
  void ComputeRingPoint();  // c and d for ring point wa + 1
  void PaintDialLines(pf::Colour colour);
  void tmr1_Timer();
  void optC1_Click();
  void optC2_Click();
  void optC3_Click();
  // countdown/answer_stage.cpp
  void tmr3_Timer();
  void tmr4_Timer();
  void EndAnswerWait();
  void AppendRunTotal();
  // countdown/answer_reveal.cpp
  void cmdAns_Click();
  void PlaceRightList();    // lbl5 ends 500 twips from the window's right edge
  void FitAnswerColumns();  // the shown answer columns, made to fit side by side

  // panel/digit_range.cpp
  void hscl1_Change();
  void hscl1_Scroll() { hscl1_Change(); }
  void hscl2_Change();
  void hscl2_Scroll() { hscl2_Change(); }
  void hscl3_Change();
  void hscl3_Scroll();
  void ShowAdvisoryOrClear();
  // panel/terms_pace.cpp
  void hscl6_Change();
  void hscl6_Scroll();
  void hscl5_Change();
  void hscl5_Scroll();
  void hscl8_Change();
  void hscl8_Scroll() { hscl8_Change(); }
  // panel/run_length.cpp
  void hscl7_Change();
  void hscl7_Scroll();
  void chk1_Click();

  pf::Clock& clock;  // the drill's time: the timers, and the time of each event
  // Announces what the learner notices to the features around the window.
  DrillEvents events;
  // The panel as the learner reads it.
  DrillSettings currentSettings() const;
  // Room a feature keeps beside the answer columns (FitAnswerColumns); none by default.
  layout::ColumnRoom columnRoom;
  // Run by a click of the start button before its handler, when set (DrillPort::lendSettings).
  std::function<void()> beforeStart;

  pf::Window form;      // the window itself: background, printed advisory, dial lines
  pf::LineArray& lin1;  // the countdown dial: line 0 at design, 1 to 49 made at load

  // Display labels on the window.
  pf::Label lbl1;   // the flashed number, and the countdown's "3", "2"
  pf::Label lbl2;   // the total, shown as the answer
  pf::Label lbl3;   // "答は", shown with the answer
  pf::Label lbl3b;  // "答？", the prompt during the answer wait
  pf::Label lbl4;   // numbers 1 to 15 of the problem, upper left, with the answer
  pf::Label lbl5;   // numbers 16 on, upper right
  pf::Label lbl6;   // answer column of the run's problems 1 to 5
  pf::Label lbl7;   // answer column of problems 6 to 10
  pf::Label lbl8;   // answer column of problems 11 to 15
  pf::Label lbl9;   // answer column of problems 16 to 20
  pf::Label lbl10;  // "▽" above the first answer column

  // The panel and everything on it.
  pf::Frame fra1;                // the panel along the bottom
  pf::Frame fra2;                // groups the answer-mode options
  pf::Frame fra3;                // groups the countdown-speed options
  pf::CommandButton cmdStart;    // "始": starts a problem or a run
  pf::CommandButton cmdEnd;      // "終": ends the program at once
  pf::CommandButton cmdTome;     // "保留"/"続き": holds and resumes the drill
  pf::CommandButton cmdStop;     // "中止": aborts to idle
  pf::CommandButton cmdAns;      // "答": shows the answer in manual and answer-later modes
  pf::CommandButton cmdMojiiro;  // "文字": text colour dialog
  pf::CommandButton cmdHaikei;   // "背景": background colour dialog
  pf::CommandButton cmdReSet;    // small: buttons in the background colour, or the start colours
  pf::OptionButton optKaiji;     // automatic answer
  pf::OptionButton optKaite;     // manual answer, or answer later for a run
  pf::OptionButton optC1;        // countdown speed: 20 ms ticks, one line each
  pf::OptionButton optC2;        // 40 ms ticks, two lines
  pf::OptionButton optC3;        // 80 ms ticks, four lines
  pf::CheckBox chk1;             // ",": thousands separators in the display
  pf::ScrollBar hscl1;           // longest digit count, sets `ketaDai`
  pf::ScrollBar hscl2;           // shortest digit count, sets `ketaSyo`
  pf::ScrollBar hscl3;           // mix of shorter numbers, sets `kon`
  pf::ScrollBar hscl5;           // pace bar, sets `hayasa`
  pf::ScrollBar hscl6;           // terms per problem, sets `kazu`
  pf::ScrollBar hscl7;           // run length, sets `mondsu` and `renmondsu`
  pf::ScrollBar hscl8;           // display extension, sets `tyo`
  pf::Label lblfr1s;             // "最大" before the longest count
  pf::Label lblfr1;              // the longest count
  pf::Label lblfr1m;             // "桁" after it
  pf::Label lblfr2s;             // "最小" before the shortest count
  pf::Label lblfr2;              // the shortest count
  pf::Label lblfr2m;             // "桁" after it
  pf::Label lblfr3;              // the mix, "混-0"
  pf::Label lblfr5;              // time per number
  pf::Label lblfr5s;             // time of the whole problem
  pf::Label lblfr6m;             // "口数" before the terms
  pf::Label lblfr6;              // the terms
  pf::Label lblfr7m;             // "連続" before the run length
  pf::Label lblfr7;              // the run length
  pf::Label lblfr7zan;           // "残" before the remaining count
  pf::Label lblfr7z;             // problems remaining in the run
  pf::Label lblfr8;              // the extension, "+0"

  pf::Timer tmr1;             // countdown dial ticks
  pf::Timer tmr2;             // flashing: two ticks per number
  pf::Timer tmr3;             // answer wait, 500 ms ticks
  pf::Timer tmr4;             // hand-over to the next problem or to rest
  pf::ColorDialog cmnDialg1;  // holds the text colour
  pf::ColorDialog cmnDialg2;  // holds the background colour
  pf::RandomSource rnd;       // draws of the numbers, re-seeded from the clock

 private:
  void designControls();
  void designPanel();
  void connectHandlers();
  void announceSettings() { events.settingsChanged(currentSettings()); }
  void SizeDisplay(int preset);
};
