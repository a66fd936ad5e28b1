// SPDX-License-Identifier: GPL-3.0-or-later
#include "host/shortcuts.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>

#include "host/drill_port.h"
#include "host/window_menu.h"

const std::vector<ShortcutInfo>& shortcutList() {
  static const std::vector<ShortcutInfo> list = {
      {QStringLiteral("F5"), QStringLiteral("スタート"), QStringLiteral("start (始)")},
      {QStringLiteral("F6"), QStringLiteral("保留／再開"), QStringLiteral("hold / resume (保留)")},
      {QStringLiteral("F7"), QStringLiteral("答を出す"), QStringLiteral("show the answer (答)")},
      {QStringLiteral("F8"), QStringLiteral("中止"), QStringLiteral("abort (中止)")},
      {QStringLiteral("F11"), QStringLiteral("全画面表示"), QStringLiteral("full screen on / off")},
      {QStringLiteral("Esc"), QStringLiteral("全画面表示を終わる"),
       QStringLiteral("leave full screen")},
      {QStringLiteral("Shift+F10"), QStringLiteral("メニュー"),
       QStringLiteral("this menu (also the menu key, right click)")},
      {QStringLiteral("F9"), QStringLiteral("成績を見る"), QStringLiteral("the progress window")},
      {QStringLiteral("Ctrl+R"), QStringLiteral("直前の問題をもう一度"),
       QStringLiteral("replay the last problem")},
      {QStringLiteral("Ctrl+G"), QStringLiteral("級・段位認定…"),
       QStringLiteral("choose a grade test")},
  };
  return list;
}

const ShortcutInfo& shortcutInfo(shortcut::Id id) {
  return shortcutList().at(static_cast<std::size_t>(id));
}

void addDrillShortcuts(WindowMenu& menu, DrillPort& port) {
  struct Entry {
    shortcut::Id id;
    void (DrillPort::*press)();
    bool (DrillPort::*can)() const;
  };
  static constexpr Entry kEntries[] = {
      {shortcut::Start, &DrillPort::pressStart, &DrillPort::canStart},
      {shortcut::Hold, &DrillPort::pressHold, &DrillPort::canHold},
      {shortcut::Answer, &DrillPort::pressAnswer, &DrillPort::canAnswer},
      {shortcut::Abort, &DrillPort::pressAbort, &DrillPort::canAbort},
  };
  std::vector<QAction*> actions;
  for (const Entry& e : kEntries) {
    const ShortcutInfo& s = shortcutInfo(e.id);
    actions.push_back(
        menu.add(s.japanese, QKeySequence(s.key), [&port, press = e.press] { (port.*press)(); }));
  }
  // Each entry is usable exactly when its button is.
  const auto follow = [&port, actions] {
    for (std::size_t k = 0; k < actions.size(); ++k)
      actions[k]->setEnabled((port.*kEntries[k].can)());
  };
  follow();
  port.watchButtons(menu.menu(), follow);
}
