// zarta-sim's command line: the options of a run and how they are read.
#pragma once

#include "ai/TableLevel.h"
#include "model/Deck.h"
#include "tools/ScriptedHuman.h"

#include <cstdint>
#include <string>

namespace sim {

struct Options {
    long games = 1;
    std::uint64_t seed = 1;
    Strategy human = Strategy::random;
    TableLevel computer = TableLevel::classic;
    DealKind deal = DealKind::described;
    std::string tracePath;
    std::string accountPath;
    std::string statsPath;
    bool check = false;
    bool noPixels = false;
    std::string framesFolder;
};

constexpr int exitViolation = 1;
constexpr int exitBadArguments = 2;

// 0 to go on, -1 after --help, else the exit status.
int parseOptions(int argc, char** argv, Options& options);

}  // namespace sim
