#include "desktop/features.h"

#include "answers/typed_answers.h"
#include "desktop/window_menu.h"
#include "grades/grade_test.h"
#include "grades/grade_tests.h"
#include "shell/drill_port.h"

Features::Features(DrillPort& port)
    : port_(port),
      menu_(std::make_unique<WindowMenu>(port.widget())),
      answers_(std::make_unique<TypedAnswers>(port)),
      grades_(std::make_unique<GradeTests>(port, *menu_, nullptr)) {
  answers().subscribe(&grades_->test());
}

Features::~Features() {
  answers().unsubscribe(&grades_->test());
}

AnswerSheet& Features::answers() const { return answers_->sheet(); }
