// The table's account beside the board in the desktop window: what the
// account tells, newest first, under a line that says how to start while no
// game runs. A round's result is one entry, the hands shown packed under
// it, so the move that ended the round stays in view below it; a hint takes
// the place of a hint just before it. A key shows and hides it; the wheel and
// the paging keys scroll it.
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

// Steps through the account; the newest line is at the top. Scrolled away
// from the top, the view stays on the lines it shows as new ones come.
enum class AccountScroll { notchUp, notchDown, pageUp, pageDown, top, bottom };
void scrollAccountPanel(AccountScroll step);
