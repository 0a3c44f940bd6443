// zarta-sim's run: the trace file, its lines, and the summary at the end.
#include "tools/SimulatorRun.h"

#include "platform/Headless.h"
#include "tools/SimulatorAccount.h"
#include "tools/SimulatorFrames.h"
#include "tools/TraceJson.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace sim {

Run run;

bool openTrace()
{
    if (run.options.tracePath.empty())
        return true;
    run.trace = run.options.tracePath == "-" ? stdout : std::fopen(run.options.tracePath.c_str(), "w");
    if (!run.trace) {
        std::fprintf(stderr, "zarta-sim: cannot write the trace to '%s': %s\n", run.options.tracePath.c_str(),
                     std::strerror(errno));
        return false;
    }
    // Line by line, so a run that crashes still leaves every event up to the crash.
    std::setvbuf(run.trace, nullptr, _IOLBF, 1 << 16);
    return true;
}

void writeLine(const std::string& line)
{
    if (run.trace) {
        std::fputs(line.c_str(), run.trace);
        std::fputc('\n', run.trace);
    }
}

void snapshot(const char* at, const std::string& extra)
{
    if (run.trace)
        writeLine(snapshotJson(at, extra, platform::headless::pauseUnits()));
}

[[noreturn]] void stopInsideInput(const std::string& violation)
{
    run.violation = violation;
    std::exit(finish());
}

void decisionStarts()
{
    run.decisionStarted = std::chrono::steady_clock::now();
}

void decisionEnds()
{
    run.decisionMilliseconds.push_back(
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - run.decisionStarted).count());
}

int finish()
{
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - run.started).count();
    // Processor time, user and system: on a busy machine the wall time reads several times higher.
    const double cpuSeconds = static_cast<double>(std::clock() - run.startedClock) / CLOCKS_PER_SEC;
    bool traceWritten = true;
    if (run.trace) {
        traceWritten = std::fflush(run.trace) == 0 && !std::ferror(run.trace);
        if (run.trace != stdout)
            traceWritten = std::fclose(run.trace) == 0 && traceWritten;
        run.trace = nullptr;
    }
    const bool accountWritten = closeAccount();
    // Standard output stays pure JSON Lines, or the account alone, when either goes there.
    std::FILE* summary = run.options.tracePath == "-" || run.options.accountPath == "-" ? stderr : stdout;
    const Totals& t = run.totals;
    std::fprintf(summary,
                 "games %ld, rounds %ld, human wins %ld, losses %ld\n"
                 "rounds ended by Stop %ld, by 31 %ld, by three aces %ld, all equal %ld\n"
                 "wall time %.3f s, %.0f rounds per wall second\n"
                 "cpu time %.3f s, %.0f rounds per CPU second\n",
                 t.games, t.rounds, t.wins, t.losses, t.byStop, t.byThirtyOne, t.byThreeAces, t.allEqual, seconds,
                 seconds > 0 ? static_cast<double>(t.rounds) / seconds : 0.0, cpuSeconds,
                 cpuSeconds > 0 ? static_cast<double>(t.rounds) / cpuSeconds : 0.0);
    if (run.options.computer != TableLevel::classic || run.options.deal != DealKind::described)
        std::fprintf(summary, "computer seats %s, human %s%s\n", tableLevelName(run.options.computer),
                     strategyName(run.options.human), run.options.deal == DealKind::shuffled ? ", deal shuffled" : "");
    std::vector<double>& times = run.decisionMilliseconds;
    if (!times.empty()) {
        std::sort(times.begin(), times.end());
        const auto at = [&](double share) { return times[static_cast<std::size_t>(share * (times.size() - 1))]; };
        std::fprintf(summary, "expert time %.3f ms median, %.3f ms at the 99th percentile, %.3f ms most, %zu decisions\n",
                     at(0.5), at(0.99), times.back(), times.size());
    }
    std::fflush(summary);
    if (!run.violation.empty()) {
        std::fprintf(stderr,
                     "zarta-sim: violation in game %ld after input %ld: %s\n"
                     "zarta-sim: to see it again: zarta-sim --seed %llu --human %s --games %ld --check --trace -\n",
                     t.games + 1, run.inputsThisGame, run.violation.c_str(),
                     static_cast<unsigned long long>(run.options.seed), strategyName(run.options.human), t.games + 1);
        return exitViolation;
    }
    finishFrames(run.framesFailure);
    if (!run.framesFailure.empty()) {
        std::fprintf(stderr, "zarta-sim: %s\n", run.framesFailure.c_str());
        return exitViolation;
    }
    if (!traceWritten) {
        std::fprintf(stderr, "zarta-sim: the trace could not be written completely\n");
        return exitViolation;
    }
    if (!accountWritten) {
        std::fprintf(stderr, "zarta-sim: the account could not be written completely\n");
        return exitViolation;
    }
    return 0;
}

}  // namespace sim
