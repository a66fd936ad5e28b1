// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/frm_pelatto.h"

// Every notification of the window and its controls to its handler. The
// panel's handlers also tell the features around the window what changed.

void frmPelatto::connectHandlers() {
  // What a handler and the handlers nested in it announce is heard once the
  // outermost one has returned.
  const auto run = [this](auto handler) {
    return [this, handler] {
      DrillEvents::Scope scope(events);
      handler();
    };
  };
  form.onResize = run([this] { Form_Resize(); });
  cmdStart.onClick = run([this] {
    // A copy: the hook may clear itself.
    if (const auto hook = beforeStart) hook();
    cmdStart_Click();
  });
  cmdEnd.onClick = run([this] { cmdEnd_Click(); });
  cmdTome.onClick = run([this] { cmdTome_Click(); });
  cmdStop.onClick = run([this] { cmdStop_Click(); });
  cmdAns.onClick = run([this] { cmdAns_Click(); });
  cmdMojiiro.onClick = run([this] { cmdMojiiro_Click(), announceSettings(); });
  cmdHaikei.onClick = run([this] { cmdHaikei_Click(), announceSettings(); });
  cmdReSet.onClick = run([this] { cmdReSet_Click(), announceSettings(); });
  optC1.onClick = run([this] { optC1_Click(), announceSettings(); });
  optC2.onClick = run([this] { optC2_Click(), announceSettings(); });
  optC3.onClick = run([this] { optC3_Click(), announceSettings(); });
  chk1.onClick = run([this] { chk1_Click(), announceSettings(); });
  hscl1.onChange = run([this] { hscl1_Change(), announceSettings(); });
  hscl1.onScroll = run([this] { hscl1_Scroll(), announceSettings(); });
  hscl2.onChange = run([this] { hscl2_Change(), announceSettings(); });
  hscl2.onScroll = run([this] { hscl2_Scroll(), announceSettings(); });
  hscl3.onChange = run([this] { hscl3_Change(), announceSettings(); });
  hscl3.onScroll = run([this] { hscl3_Scroll(), announceSettings(); });
  hscl5.onChange = run([this] { hscl5_Change(), announceSettings(); });
  hscl5.onScroll = run([this] { hscl5_Scroll(), announceSettings(); });
  hscl6.onChange = run([this] { hscl6_Change(), announceSettings(); });
  hscl6.onScroll = run([this] { hscl6_Scroll(), announceSettings(); });
  hscl7.onChange = run([this] { hscl7_Change(), announceSettings(); });
  hscl7.onScroll = run([this] { hscl7_Scroll(), announceSettings(); });
  hscl8.onChange = run([this] { hscl8_Change(), announceSettings(); });
  hscl8.onScroll = run([this] { hscl8_Scroll(), announceSettings(); });
  optKaiji.onClick = run([this] { announceSettings(); });
  optKaite.onClick = run([this] { announceSettings(); });
  form.onUnload = run([this] { events.announce(DrillEvent::Kind::Closed); });
  tmr1.onTimer = run([this] { tmr1_Timer(); });
  tmr2.onTimer = run([this] { tmr2_Timer(); });
  tmr3.onTimer = run([this] { tmr3_Timer(); });
  tmr4.onTimer = run([this] { tmr4_Timer(); });
}
