// zarta-sim's command line: the usage text and the checks on each value.
#include "tools/SimulatorOptions.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace sim {

namespace {

void printUsage(std::FILE* out)
{
    std::fputs("Usage: zarta-sim [--games N] [--seed S] [--human random|passive|greedy|hint]\n"
               "                 [--computer classic|expert] [--deal described|shuffled]\n"
               "                 [--trace FILE|-] [--check] [--no-pixels]\n"
               "                 [--account FILE|-] [--stats FILE] [--frames DIR] [--help]\n"
               "Plays whole games of Zarta with no window, the human seat scripted.\n"
               "  --games N     games to play to the end (default 1)\n"
               "  --seed S      seed of the human's choices and the clock (default 1)\n"
               "  --human H     random (default), passive, greedy, or hint (always follows the coach)\n"
               "  --computer C  the computer seats: classic (default, the described player) or expert\n"
               "  --deal D      described (default: each shuffle seeded with the clock's seconds) or\n"
               "                shuffled (a full shuffle from one seed a game, drawn from --seed)\n"
               "  --trace FILE  write a JSON Lines trace of the run (- for standard output;\n"
               "                the summary then goes to standard error)\n"
               "  --account FILE\n"
               "                write every line What happened shows, hints and reviews included,\n"
               "                with a marker line before each game (- for standard output)\n"
               "  --stats FILE  add each game's end to the record of play in FILE, as the game keeps it\n"
               "  --check       check the game's soundness after every input; stop at the first violation\n"
               "  --no-pixels   run every drawing call but move no pixel (the same trace and summary)\n"
               "  --frames DIR  write every frame shown as DIR/000000.png, 000001.png, ... (240 x 320)\n"
               "The same arguments give the same run. Exit status: 0 done, 1 violation, 2 bad arguments.\n",
               out);
}

bool parseNumber(const char* text, unsigned long long maximum, unsigned long long& value)
{
    if (!text || !*text)
        return false;
    for (const char* each = text; *each; ++each) {
        if (*each < '0' || *each > '9')
            return false;
    }
    errno = 0;
    char* end = nullptr;
    value = std::strtoull(text, &end, 10);
    return errno == 0 && *end == '\0' && value <= maximum;
}

}  // namespace

int parseOptions(int argc, char** argv, Options& options)
{
    for (int index = 1; index < argc; ++index) {
        const std::string argument = argv[index];
        const char* value = index + 1 < argc ? argv[index + 1] : nullptr;
        unsigned long long number = 0;
        if (argument == "--help" || argument == "-h") {
            printUsage(stdout);
            return -1;
        }
        if (argument == "--check") {
            options.check = true;
        } else if (argument == "--no-pixels") {
            options.noPixels = true;
        } else if (argument == "--games") {
            if (!parseNumber(value, 100000000ULL, number) || number == 0) {
                std::fprintf(stderr, "zarta-sim: --games needs a whole number from 1 to 100000000\n");
                return exitBadArguments;
            }
            options.games = static_cast<long>(number);
            ++index;
        } else if (argument == "--seed") {
            if (!parseNumber(value, 0xFFFFFFFFFFFFFFFFULL, number)) {
                std::fprintf(stderr, "zarta-sim: --seed needs a whole number from 0 to 18446744073709551615\n");
                return exitBadArguments;
            }
            options.seed = number;
            ++index;
        } else if (argument == "--human") {
            if (!value || !parseStrategy(value, options.human)) {
                std::fprintf(stderr, "zarta-sim: --human takes random, passive, greedy or hint\n");
                return exitBadArguments;
            }
            ++index;
        } else if (argument == "--computer") {
            const auto level = value ? tableLevelNamed(value) : std::nullopt;
            if (!level) {
                std::fprintf(stderr, "zarta-sim: --computer takes classic or expert\n");
                return exitBadArguments;
            }
            options.computer = *level;
            ++index;
        } else if (argument == "--deal") {
            const auto deal = value ? dealKindNamed(value) : std::nullopt;
            if (!deal) {
                std::fprintf(stderr, "zarta-sim: --deal takes described or shuffled\n");
                return exitBadArguments;
            }
            options.deal = *deal;
            ++index;
        } else if (argument == "--trace") {
            if (!value || !*value) {
                std::fprintf(stderr, "zarta-sim: --trace needs a file name, or - for standard output\n");
                return exitBadArguments;
            }
            options.tracePath = value;
            ++index;
        } else if (argument == "--account") {
            if (!value || !*value) {
                std::fprintf(stderr, "zarta-sim: --account needs a file name, or - for standard output\n");
                return exitBadArguments;
            }
            options.accountPath = value;
            ++index;
        } else if (argument == "--stats") {
            if (!value || !*value) {
                std::fprintf(stderr, "zarta-sim: --stats needs a file name\n");
                return exitBadArguments;
            }
            options.statsPath = value;
            ++index;
        } else if (argument == "--frames") {
            if (!value || !*value) {
                std::fprintf(stderr, "zarta-sim: --frames needs a folder\n");
                return exitBadArguments;
            }
            options.framesFolder = value;
            ++index;
        } else {
            std::fprintf(stderr, "zarta-sim: unknown argument '%s' (try --help)\n", argument.c_str());
            return exitBadArguments;
        }
    }
    if (options.tracePath == "-" && options.accountPath == "-") {
        std::fprintf(stderr, "zarta-sim: --trace and --account cannot both go to standard output\n");
        return exitBadArguments;
    }
    return 0;
}

}  // namespace sim
