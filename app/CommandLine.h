// The desktop program's command line: --help, --version, --pace MS,
// --computer classic|expert, --deal described|shuffled and --mute, and
// nothing else (the desktop entry starts it with no arguments).
#pragma once

#include "ai/TableLevel.h"
#include "model/Deck.h"
#include "platform/Platform.h"

#include <string>

// How long one pause unit lasts on the desktop, in milliseconds.
constexpr int paceDefault = platform::watchedUnitMilliseconds;
constexpr int paceMinimum = 10;
constexpr int paceMaximum = 200;

struct CommandLine {
    enum class Action { play, help, version, error };
    Action action = Action::play;
    int paceMilliseconds = paceDefault;
    TableLevel computer = TableLevel::classic;
    DealKind deal = DealKind::described;
    bool mute = false;  // --mute: no sound this run, whatever the player's setting
    std::string error;  // for Action::error: what was wrong, for standard error
};

// Reads the arguments after the program name. --help and --version answer
// wherever they stand; a bad --pace, an unknown option or any other argument
// is an error.
CommandLine parseCommandLine(int argc, const char* const* argv);
