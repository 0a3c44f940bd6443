#include "app/AccountPanel.h"

#include "app/Hint.h"
#include "app/Review.h"
#include "model/GameState.h"

#include <deque>

const char* const HowToStartText = "Game > New or F2 starts a game; F1 tells the rules";

namespace {

// More than the panel ever holds, so what it shows is always the newest.
constexpr std::size_t linesKept = 64;

// Made on first use: a program that only toggles the panel (the page's) carries none of it.
std::deque<std::string>& told()
{
    static std::deque<std::string> lines;  // newest first
    return lines;
}
bool panelShown = true;

}  // namespace

void noteAccountLine(const std::string& line, const std::string&)
{
    told().push_front(line);
    if (told().size() > linesKept)
        told().pop_back();
}

platform::SideText accountPanel()
{
    platform::SideText text;
    text.shown = panelShown;
    text.caption = "What happened";
    if (!game.gameRunning) {
        text.headline = HowToStartText;
    } else {
        // Review beside Hint: the last round's costliest move.
        text.buttons = {{"Hint", hintKey}, {"Review", reviewKey}};
    }
    text.lines.assign(told().begin(), told().end());
    return text;
}

void toggleAccountPanel()
{
    panelShown = !panelShown;
}

void resetAccountPanel()
{
    told().clear();
    panelShown = true;
}
