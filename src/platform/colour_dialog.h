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
  ColorDialog(Window& owner, const char* name) : owner_(owner), name_(QString::fromLatin1(name)) {}

  Colour Color() const { return colour_; }
  void setColor(Colour c) { colour_ = c; }
  // 1: open with the held colour preselected.
  void setFlags(int flags) { flags_ = flags; }
  // Shows the dialog; false when the learner cancels it.
  bool ShowColor();

  // Who answers the dialog: the platform's colour dialog by default; tests
  // put a responder here. It gets the dialog's name and the colour offered
  // first, and returns the chosen colour, or nothing for a cancel.
  using Responder = std::function<std::optional<Colour>(const QString& name, Colour offered)>;
  static void setResponder(Responder r);
  // The next ShowColor returns this colour without opening anything: how
  // remembered colours are applied through the same handlers as a choice.
  void answerNext(Colour c) { preset_ = c; }

 private:
  Window& owner_;
  QString name_;
  Colour colour_ = 0;
  int flags_ = 0;
  std::optional<Colour> preset_;
};

}  // namespace pf
