#include "app/AccountPanel.h"

#include "app/Hint.h"
#include "app/Review.h"
#include "model/GameState.h"

#include <algorithm>
#include <deque>
#include <string_view>

const char* const HowToStartText = "Game > New or F2 starts a game; F1 tells the rules";

namespace {

// More than the panel ever holds, so what it shows is always the newest.
constexpr std::size_t linesKept = 64;
constexpr int rowsANotch = 3;

// What a line is to the panel, which packs some of them together.
enum class LineKind { event, hint, sound, handShown, roundResult };

struct Entry {
    std::string text;
    LineKind kind = LineKind::event;
};

LineKind kindOf(std::string_view eventJson)
{
    const auto is = [eventJson](std::string_view kind) {
        constexpr std::string_view opening = "{\"kind\":\"";
        return eventJson.substr(0, opening.size()) == opening &&
               eventJson.substr(opening.size(), kind.size()) == kind &&
               eventJson.substr(opening.size() + kind.size(), 1) == "\"";
    };
    if (is("hint"))
        return LineKind::hint;
    if (is("sound"))
        return LineKind::sound;
    if (is("shows"))
        return LineKind::handShown;
    if (is("roundEnd"))
        return LineKind::roundResult;
    return LineKind::event;
}

// Made on first use: a program that only toggles the panel (the page's) carries none of it.
std::deque<Entry>& told()
{
    static std::deque<Entry> entries;  // newest first
    return entries;
}
bool panelShown = true;
int firstRow = 0;  // of the panel's rows, counted from the newest entry's first; 0 follows the newest

}  // namespace

void noteAccountLine(const std::string& line, const std::string& eventJson)
{
    std::deque<Entry>& entries = told();
    const LineKind kind = kindOf(eventJson);
    const LineKind newest = entries.empty() ? LineKind::event : entries.front().kind;
    int rowsBefore = 0;
    if ((kind == LineKind::hint || kind == LineKind::sound) && kind == newest) {
        // Asked again before anything happened: the same advice, or advice that
        // replaces it; sound turned on and off says only where it ended.
        rowsBefore = platform::sideTextRows(entries.front().text);
        entries.front().text = line;
    } else if (kind == LineKind::handShown && newest == LineKind::handShown) {
        // The hands at a round's end read as one paragraph: their own rows would fill the panel.
        rowsBefore = platform::sideTextRows(entries.front().text);
        entries.front().text += ' ' + line;
    } else if (kind == LineKind::roundResult && newest == LineKind::handShown) {
        rowsBefore = platform::sideTextRows(entries.front().text);
        entries.front() = {line + '\n' + entries.front().text, kind};
    } else {
        entries.push_front({line, kind});
        if (entries.size() > linesKept)
            entries.pop_back();
    }
    // Scrolled down to older lines, the view keeps them in place.
    if (firstRow > 0)
        firstRow += platform::sideTextRows(entries.front().text) - rowsBefore;
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
    for (const Entry& entry : told())
        text.lines.push_back(entry.text);
    text.firstRow = firstRow;
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
    firstRow = 0;
}

void scrollAccountPanel(AccountScroll step)
{
    if (!panelShown)
        return;
    const platform::SideText text = accountPanel();
    const platform::SideTextView view = platform::viewSideText(text);
    // A page keeps one row of the last in view.
    const int page = std::max(1, view.rowsShown - 1);
    int row = view.firstRow;
    switch (step) {
    case AccountScroll::notchUp:
        row -= rowsANotch;
        break;
    case AccountScroll::notchDown:
        row += rowsANotch;
        break;
    case AccountScroll::pageUp:
        row -= page;
        break;
    case AccountScroll::pageDown:
        row += page;
        break;
    case AccountScroll::top:
        row = 0;
        break;
    case AccountScroll::bottom:
        row = view.lastFirstRow;
        break;
    }
    firstRow = std::clamp(row, 0, view.lastFirstRow);
}
