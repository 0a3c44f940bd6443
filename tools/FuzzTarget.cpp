// libFuzzer target: each input starts the real program on the headless back
// end from the state right after start-up (a snapshot, as good as a fresh
// process and far cheaper), and plays taps, keys, menu choices, box answers
// and clock steps decoded from the bytes, with the game record checked after
// every input. A violation, or a round the computer seats never let end,
// aborts with the decoded inputs, so libFuzzer keeps the case. No check reads
// the screen, so the platform moves no pixels; the game and the window system
// still run every step.
#include "app/Program.h"
#include "app/Shell.h"
#include "model/GameEvents.h"
#include "model/GameState.h"
#include "model/InternalError.h"
#include "platform/Headless.h"
#include "resources/BoardIds.h"
#include "tools/FreshProcess.h"
#include "tools/SettlementCheck.h"
#include "tools/SoundnessCheck.h"
#include "ui/Controls.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr int maximumInputs = 64;
constexpr long maximumComputerMovesPerInput = 1000;

// The board controls a tap may aim at: 15 cards, the dealer's second hand, Stop and Pass.
constexpr int aimedControls[] = {
    ids::controlTable1,      ids::controlTable2,     ids::controlTable3,     ids::controlSouth1,
    ids::controlSouth1 + 1,  ids::controlSouth1 + 2, ids::controlWest1,      ids::controlWest1 + 1,
    ids::controlWest1 + 2,   ids::controlNorth1,     ids::controlNorth1 + 1, ids::controlNorth1 + 2,
    ids::controlEast1,       ids::controlEast1 + 1,  ids::controlEast1 + 2,  ids::controlSecondUpright1,
    ids::controlSecondSide1, ids::controlStop,       ids::controlPass,
};
constexpr int aimedCount = static_cast<int>(sizeof aimedControls / sizeof aimedControls[0]);

constexpr platform::Param keys[] = {platform::keyEnter,
                                    platform::keyEscape,
                                    platform::keyArrowUp,
                                    platform::keyArrowDown,
                                    'Y',
                                    'N',
                                    'A',
                                    'Q',
                                    'X',
                                    platform::keyArrowLeft,
                                    platform::keyArrowRight,
                                    platform::keyTab,
                                    platform::keySpace,
                                    platform::keyF1,
                                    platform::keyF2,
                                    'S',
                                    'P'};
constexpr int keyCount = static_cast<int>(sizeof keys / sizeof keys[0]);

constexpr int menuCommands[] = {ids::commandNew, ids::commandAbout, ids::commandExit};

// Reads the input's bytes; past the end every byte is 0.
class ByteReader {
public:
    ByteReader(const std::uint8_t* data, std::size_t size) : data(data), size(size) {}
    bool atEnd() const { return position >= size; }
    std::uint8_t next() { return position < size ? data[position++] : 0; }

private:
    const std::uint8_t* data;
    std::size_t size;
    std::size_t position = 0;
};

// Per input; reset at the start of every run.
struct FuzzRun {
    std::string script;  // the decoded inputs, printed with a failure
    long computerMoves = 0;
    int boxAnswer = 0;  // 0 lets a box read queued input like a person's
    std::int16_t livesBefore[5] = {};
    sim::SettlementCheck settlementCheck;
};

FuzzRun run;

[[noreturn]] void fail(const std::string& problem)
{
    std::fprintf(stderr, "zarta-fuzz: %s\nzarta-fuzz: inputs: %s\n", problem.c_str(), run.script.c_str());
    std::abort();
}

void failOn(const std::string& problem)
{
    if (!problem.empty())
        fail(problem);
}

void onComputerMoved(Seat, Move)
{
    run.settlementCheck.computerMoved();
    if (++run.computerMoves > maximumComputerMovesPerInput)
        fail("the computer seats moved " + std::to_string(maximumComputerMovesPerInput) +
             " times in one input without the round ending");
}

void tapCentreOf(int controlId)
{
    const platform::Handle control = controlHandle(controlId);
    const platform::Rect rect = control ? platform::getWindowRect(control) : platform::Rect{};
    platform::headless::pushTap((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
}

// Decodes one input from the bytes and queues it.
void queueInput(ByteReader& bytes)
{
    const std::uint8_t operation = bytes.next();
    switch (operation % 8) {
    case 0:
    case 1:
    case 2: {
        const int controlId = aimedControls[bytes.next() % aimedCount];
        run.script += "tap " + std::to_string(controlId) + "; ";
        tapCentreOf(controlId);
        break;
    }
    case 3: {
        const int x = bytes.next() % platform::screenWidth;
        const int y = static_cast<int>((bytes.next() | bytes.next() << 8) % platform::screenHeight);
        run.script += "tap at " + std::to_string(x) + "," + std::to_string(y) + "; ";
        platform::headless::pushTap(x, y);
        break;
    }
    case 4: {
        const std::uint8_t choice = bytes.next();
        const platform::Param key = keys[choice % keyCount];
        const bool control = (choice & 0x80) != 0;
        run.script += std::string("key ") + (control ? "Ctrl+" : "") + std::to_string(key) + "; ";
        platform::headless::pushKey(key, control);
        break;
    }
    case 5: {
        const int command = menuCommands[bytes.next() % 3];
        const platform::Rect button = platform::headless::menuButtonRect();
        int x = 0;
        int y = 0;
        run.script += "menu " + std::to_string(command) + "; ";
        platform::headless::pushTap((button.left + button.right) / 2, (button.top + button.bottom) / 2);
        if (platform::headless::menuItemPoint(command, x, y))
            platform::headless::pushTap(x, y);
        break;
    }
    case 6: {
        static constexpr int answers[] = {0, platform::answerYes, platform::answerNo};
        run.boxAnswer = answers[bytes.next() % 3];
        run.script += "boxes answer " + std::to_string(run.boxAnswer) + "; ";
        break;
    }
    default: {
        const int milliseconds = bytes.next() * 100;
        run.script += "wait " + std::to_string(milliseconds) + " ms; ";
        platform::headless::setClockMilliseconds(platform::headless::clockMilliseconds() + milliseconds);
        break;
    }
    }
}

const sim::ProcessSnapshot& startingPoint()
{
    static const std::shared_ptr<const sim::ProcessSnapshot> point = [] {
        if (!sim::startFreshProcess())
            fail("start-up failed");
        platform::headless::skipPixels(true);
        return sim::saveProcess();
    }();
    return *point;
}

}  // namespace

// ASan records the call stack of every allocation; short ones keep that from
// costing more than the game, and a failure's own stack stays whole.
extern "C" const char* __asan_default_options()
{
    return "malloc_context_size=3";
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    run = FuzzRun{};
    ByteReader bytes(data, size);
    sim::restoreProcess(startingPoint());
    platform::headless::setClockMilliseconds(bytes.next() * 1000 + bytes.next());
    internalErrorHandler = [](const char* message) { fail(message); };
    gameWatcher.computerMoved = onComputerMoved;
    gameWatcher.dealt = [] { failOn(run.settlementCheck.roundDealt()); };
    gameWatcher.settling = [](bool scored) { failOn(run.settlementCheck.settled(scored)); };
    platform::headless::setBoxAnswerer(
        [](std::string_view, std::string_view, platform::BoxButtons) { return run.boxAnswer; });
    platform::headless::Observer observer;
    observer.commandChosen = [](int command) {
        if (command == ids::commandNew) {
            for (std::int16_t& lives : run.livesBefore)
                lives = 4;
        }
    };
    observer.boxAnswered = [](std::string_view text, std::string_view caption, int) {
        if (caption == "Game Over")
            failOn(run.settlementCheck.gameOverBox(text));
    };
    platform::headless::setObserver(observer);

    for (int input = 0; input < maximumInputs && !bytes.atEnd(); ++input) {
        run.computerMoves = 0;
        queueInput(bytes);
        runMessageLoop();
        if (platform::headless::exited() || platform::headless::quitReceived())
            break;
        const std::string problem = sim::soundnessProblem(run.livesBefore);
        if (!problem.empty())
            fail(problem);
        for (Seat seat = 1; seat <= seatCount; ++seat)
            run.livesBefore[seat] = game.lives[seat];
    }
    platform::headless::setBoxAnswerer(nullptr);
    platform::headless::setObserver({});
    // Back to the starting point now, so the run frees all it allocated and
    // libFuzzer's leak check only runs again for a real leak.
    sim::restoreProcess(startingPoint());
    return 0;
}
