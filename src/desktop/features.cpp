#include "desktop/features.h"

#include "answers/typed_answers.h"
#include "desktop/window_menu.h"
#include "shell/drill_port.h"

Features::Features(DrillPort& port)
    : port_(port),
      menu_(std::make_unique<WindowMenu>(port.widget())),
      answers_(std::make_unique<TypedAnswers>(port)) {}

Features::~Features() = default;

AnswerSheet& Features::answers() const { return answers_->sheet(); }
