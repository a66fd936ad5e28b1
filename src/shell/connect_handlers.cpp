#include "shell/frm_pelatto.h"

// Every notification of the window and its controls to its handler. The
// panel's handlers also tell the features around the window what changed.

void frmPelatto::connectHandlers() {
  form.onResize = [this] { Form_Resize(); };
  cmdStart.onClick = [this] {
    // A copy: the hook may clear itself.
    if (const auto hook = beforeStart) hook();
    cmdStart_Click();
  };
  cmdEnd.onClick = [this] { cmdEnd_Click(); };
  cmdTome.onClick = [this] { cmdTome_Click(); };
  cmdStop.onClick = [this] { cmdStop_Click(); };
  cmdAns.onClick = [this] { cmdAns_Click(); };
  cmdMojiiro.onClick = [this] { cmdMojiiro_Click(), announceSettings(); };
  cmdHaikei.onClick = [this] { cmdHaikei_Click(), announceSettings(); };
  cmdReSet.onClick = [this] { cmdReSet_Click(), announceSettings(); };
  optC1.onClick = [this] { optC1_Click(), announceSettings(); };
  optC2.onClick = [this] { optC2_Click(), announceSettings(); };
  optC3.onClick = [this] { optC3_Click(), announceSettings(); };
  chk1.onClick = [this] { chk1_Click(), announceSettings(); };
  hscl1.onChange = [this] { hscl1_Change(), announceSettings(); };
  hscl1.onScroll = [this] { hscl1_Scroll(), announceSettings(); };
  hscl2.onChange = [this] { hscl2_Change(), announceSettings(); };
  hscl2.onScroll = [this] { hscl2_Scroll(), announceSettings(); };
  hscl3.onChange = [this] { hscl3_Change(), announceSettings(); };
  hscl3.onScroll = [this] { hscl3_Scroll(), announceSettings(); };
  hscl5.onChange = [this] { hscl5_Change(), announceSettings(); };
  hscl5.onScroll = [this] { hscl5_Scroll(), announceSettings(); };
  hscl6.onChange = [this] { hscl6_Change(), announceSettings(); };
  hscl6.onScroll = [this] { hscl6_Scroll(), announceSettings(); };
  hscl7.onChange = [this] { hscl7_Change(), announceSettings(); };
  hscl7.onScroll = [this] { hscl7_Scroll(), announceSettings(); };
  hscl8.onChange = [this] { hscl8_Change(), announceSettings(); };
  hscl8.onScroll = [this] { hscl8_Scroll(), announceSettings(); };
  optKaiji.onClick = [this] { announceSettings(); };
  optKaite.onClick = [this] { announceSettings(); };
  form.onUnload = [this] { events.announce(DrillEvent::Kind::Closed); };
  tmr1.onTimer = [this] { tmr1_Timer(); };
  tmr2.onTimer = [this] { tmr2_Timer(); };
  tmr3.onTimer = [this] { tmr3_Timer(); };
  tmr4.onTimer = [this] { tmr4_Timer(); };
}
