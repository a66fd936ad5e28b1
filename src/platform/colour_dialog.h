// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <functional>
#include <optional>

#include "platform/units.h"

namespace pf {

class Window;

// A modal colour dialog that holds its own colour between uses.
class ColorDialog {
 public:
  // Who answers the dialog in place of the platform's own, when set: it gets
  // the dialog's name and the colour offered first, and returns the chosen
  // colour, or nothing for a cancel.
  using Responder = std::function<std::optional<Colour>(const QString& name, Colour offered)>;

  ColorDialog(Window& owner, const char* name, const Responder& responder)
      : owner_(owner), name_(QString::fromLatin1(name)), responder_(responder) {}

  Colour Color() const { return colour_; }
  void setColor(Colour c) { colour_ = c; }
  // 1: open with the held colour preselected.
  void setFlags(int flags) { flags_ = flags; }
  // Shows the dialog; false when the learner cancels it.
  bool ShowColor();

  // The next ShowColor returns this colour without opening anything: how
  // remembered colours are applied through the same handlers as a choice.
  void answerNext(Colour c) { preset_ = c; }

 private:
  Window& owner_;
  QString name_;
  const Responder& responder_;
  Colour colour_ = 0;
  int flags_ = 0;
  std::optional<Colour> preset_;
};

}  // namespace pf
