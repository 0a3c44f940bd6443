// zarta-sim's one run: its working values, its trace and its end. The game's
// watchers are plain function pointers, so the run is one global that they,
// the frames and the main loop share.
#pragma once

#include "model/CardRecord.h"
#include "tools/ScriptedHuman.h"
#include "tools/SettlementCheck.h"
#include "tools/SimulatorOptions.h"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace sim {

struct Totals {
    long games = 0;  // played to the game-over box
    long rounds = 0;
    long wins = 0;
    long losses = 0;
    long byStop = 0;
    long byThirtyOne = 0;
    long byThreeAces = 0;
    long allEqual = 0;
};

// Liveness bounds. A round that outlasts them is reported as a violation,
// with or without --check, since the run would otherwise never end.
constexpr long maximumInputsPerRound = 2000;
constexpr long maximumInputsPerGame = 20000;
constexpr long maximumComputerMovesPerInput = 1000;

struct Run {
    Options options;
    Totals totals;
    std::FILE* trace = nullptr;
    std::mt19937_64 random;
    std::unique_ptr<ScriptedHuman> human;
    std::chrono::steady_clock::time_point started;
    std::clock_t startedClock = 0;

    long inputsThisGame = 0;
    long inputsThisRound = 0;
    long roundsThisGame = 0;
    long computerMovesThisInput = 0;
    std::int16_t livesBefore[5] = {};
    SettlementCheck settlementCheck;
    std::string violation;
    std::string framesFailure;  // why a frame could not be written; the run stops

    // How the round in play is ending: whether its last move was an exchange
    // that gave its mover exactly 31, and the human's hand as of the last
    // event, which tells whether the human has exchanged since.
    bool lastMoveMadeThirtyOne = false;
    CardRecord southHandSeen[3] = {};

    // Every expert decision's time, in milliseconds (the seats' and the coach's).
    std::vector<double> decisionMilliseconds;
    std::chrono::steady_clock::time_point decisionStarted;
};

extern Run run;

// False, with the reason on standard error, when the trace cannot be opened.
bool openTrace();
void writeLine(const std::string& line);
// A state line at `at`; `extra` holds fields of its own, each followed by a comma.
void snapshot(const char* at, const std::string& extra = "");

// Around each expert decision, the seats' and the coach's.
void decisionStarts();
void decisionEnds();

// Closes the trace, prints the summary and any violation; returns the exit status.
int finish();
// A fault inside the game's own loop: nothing returns to the simulator, so the run ends here.
[[noreturn]] void stopInsideInput(const std::string& violation);

}  // namespace sim
