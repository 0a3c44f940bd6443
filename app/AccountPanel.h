// The table's account beside the board in the desktop window: what the
// account tells, newest first, under a line that says how to start while no
// game runs. A key shows and hides it.
#pragma once

#include "platform/SideText.h"

#include <string>

extern const char* const HowToStartText;
constexpr char accountPanelKey = 'W';

// A teller for tellTableNews: keeps each line.
void noteAccountLine(const std::string& line, const std::string& eventJson);
// What the panel is to show.
platform::SideText accountPanel();
void toggleAccountPanel();
// Forgets every line and shows the panel again, as at start-up.
void resetAccountPanel();
