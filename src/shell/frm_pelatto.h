#pragma once

#include "engine/drill_events.h"
#include "engine/drill_state.h"
#include "platform/clock.h"
#include "platform/colour_dialog.h"
#include "platform/controls.h"
#include "platform/random_source.h"
#include "platform/timer.h"
#include "platform/window.h"
#include "shell/captions.h"
#include "shell/palette.h"

// The main window. It owns every control and the drill state; the handlers
// and procedures of every subsystem are its members and work on both by
// name. Each group of handlers lives in the file named for what it does.
class frmPelatto : public DrillState {
 public:
  explicit frmPelatto(pf::Clock& clock);
  frmPelatto(const frmPelatto&) = delete;
  frmPelatto& operator=(const frmPelatto&) = delete;

  // Loads, lays out and shows the window.
  void Show();

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
  void BeginProblem();
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

  pf::Clock& clock;
  // Announces what the learner notices to the features around the window.
  DrillEvents events;
  // The panel as the learner reads it.
  DrillSettings currentSettings() const;

  pf::Window form;
  pf::LineArray& lin1;

  // Display labels on the window.
  pf::Label lbl1, lbl2, lbl3, lbl3b, lbl4, lbl5, lbl6, lbl7, lbl8, lbl9, lbl10;

  // The panel and everything on it.
  pf::Frame fra1, fra2, fra3;
  pf::CommandButton cmdStart, cmdEnd, cmdTome, cmdStop, cmdAns, cmdMojiiro, cmdHaikei, cmdReSet;
  pf::OptionButton optKaiji, optKaite, optC1, optC2, optC3;
  pf::CheckBox chk1;
  pf::ScrollBar hscl1, hscl2, hscl3, hscl5, hscl6, hscl7, hscl8;
  pf::Label lblfr1s, lblfr1, lblfr1m, lblfr2s, lblfr2, lblfr2m, lblfr3, lblfr5, lblfr5s, lblfr6m,
      lblfr6, lblfr7m, lblfr7, lblfr7zan, lblfr7z, lblfr8;

  pf::Timer tmr1, tmr2, tmr3, tmr4;
  pf::ColorDialog cmnDialg1, cmnDialg2;
  pf::RandomSource rnd;

 private:
  void designControls();
  void designPanel();
  void connectHandlers();
  void announceSettings() { events.settingsChanged(currentSettings()); }
  void SizeDisplay(int preset);
};
