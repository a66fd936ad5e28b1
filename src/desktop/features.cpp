#include "desktop/features.h"

#include "desktop/window_menu.h"
#include "shell/drill_port.h"

Features::Features(DrillPort& port)
    : port_(port), menu_(std::make_unique<WindowMenu>(port.widget())) {}

Features::~Features() = default;
