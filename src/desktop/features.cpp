#include "desktop/features.h"

#include "desktop/window_menu.h"
#include "grades/grade_tests.h"
#include "shell/drill_port.h"

Features::Features(DrillPort& port)
    : port_(port), menu_(std::make_unique<WindowMenu>(port.widget())) {
  // The history comes with its own feature; until then tests go unrecorded.
  grades_ = std::make_unique<GradeTests>(port, *menu_, nullptr);
}

Features::~Features() = default;
