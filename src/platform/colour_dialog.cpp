// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/colour_dialog.h"

#include <QColorDialog>
#include <utility>

#include "platform/window.h"

namespace pf {

bool ColorDialog::ShowColor() {
  const Colour offered = (flags_ & 1) ? colour_ : 0;
  std::optional<Colour> chosen;
  if (preset_) {
    chosen = std::exchange(preset_, std::nullopt);
  } else if (responder_) {
    chosen = responder_(name_, offered);
  } else {
    const QColor c = QColorDialog::getColor(toQColor(offered), owner_.widget());
    if (c.isValid()) chosen = fromQColor(c);
  }
  if (!chosen) return false;
  colour_ = *chosen;
  return true;
}

}  // namespace pf
