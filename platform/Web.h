// The web back end: the device screen on the page's <canvas>, pointer and
// key input from the page, pauses that sleep through Asyncify.
#pragma once

#include <string>

namespace platform::web {

void install();

// What the page says beside the board each time the program waits: the board
// in words, and whether a game runs (the page offers "New game" when none does).
struct TableWords {
    std::string text;
    bool gameRunning = false;
};
void setTableDescriber(TableWords (*describe)());

// One line of what happened at the table, with the event it tells of as a
// JSON object, for the page's account and its tests.
void tellNews(const std::string& line, const std::string& eventJson);

}  // namespace platform::web
