#pragma once

#include <memory>

class AnswerSheet;
class DrillPort;
class GradeTests;
class TypedAnswers;
class WindowMenu;

// Everything the program offers beyond the window itself, built around it.
// Each feature listens to the drill through the port and keeps its own state.
class Features {
 public:
  explicit Features(DrillPort& port);
  ~Features();
  Features(const Features&) = delete;
  Features& operator=(const Features&) = delete;

  WindowMenu& menu() const { return *menu_; }
  // The learner's typed answers; subscribe to hear each marked total.
  AnswerSheet& answers() const;
  GradeTests& grades() const { return *grades_; }

 private:
  DrillPort& port_;
  std::unique_ptr<WindowMenu> menu_;
  std::unique_ptr<TypedAnswers> answers_;
  std::unique_ptr<GradeTests> grades_;
};
