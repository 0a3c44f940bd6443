// zarta-bench: how fast the pieces of the game run on this machine. These
// are figures for docs/performance.md, not timed tests: nothing fails here.
#include "ai/Expert.h"
#include "ai/HandAnalysis.h"
#include "ai/MoveDecision.h"
#include "app/Program.h"
#include "app/Shell.h"
#include "flow/Dealing.h"
#include "flow/TurnEngine.h"
#include "model/CardCatalogue.h"
#include "model/Deck.h"
#include "model/GameEvents.h"
#include "model/GameState.h"
#include "model/HandEvaluation.h"
#include "platform/CueSound.h"
#include "platform/Headless.h"
#include "resources/BoardIds.h"
#include "tools/FreshProcess.h"
#include "tools/ScriptedHuman.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <random>
#include <vector>

// Every allocation of the process so far (CountingAllocator.cpp).
long allocationCount();

namespace {

using Hand = std::array<CardRecord, 3>;

// Hands of three different cards, the same every run.
std::vector<Hand> sampleHands(std::size_t count)
{
    std::mt19937 random(2024);
    std::vector<Hand> hands;
    std::array<int, deckSize> rows{};
    for (int row = 0; row < deckSize; ++row)
        rows[row] = row;
    while (hands.size() < count) {
        std::shuffle(rows.begin(), rows.end(), random);
        hands.push_back({CardCatalogue[rows[0]], CardCatalogue[rows[1]], CardCatalogue[rows[2]]});
    }
    return hands;
}

const CardRecord& cardOf(int rank, int suit)
{
    // Catalogue order within a suit: ace, 7, 8, 9, 10, jack, queen, king.
    return CardCatalogue[(suit - 1) * 8 + (rank == 14 ? 0 : rank - 6)];
}

void startGame(sim::ScriptedHuman* human, void (*dealt)() = nullptr)
{
    sim::startFreshProcess();
    gameWatcher.dealt = dealt;
    platform::headless::setBoxAnswerer([human](std::string_view text, std::string_view, platform::BoxButtons buttons) {
        return human ? human->answerBox(text, buttons) : platform::answerYes;
    });
    sim::queueHumanInput(sim::HumanInput::newGame());
    runMessageLoop();
}

// ---- The rules ---------------------------------------------------------------------

void valueOfThreeCards(benchmark::State& state)
{
    const std::vector<Hand> hands = sampleHands(1024);
    std::size_t index = 0;
    for (auto _ : state) {
        const Hand& hand = hands[index++ & 1023];
        benchmark::DoNotOptimize(valueOfThree(hand[0], hand[1], hand[2]));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(valueOfThreeCards);

// The recording evaluation the turn engine runs: value, flags and the per-seat record.
void evaluateHandOfASeat(benchmark::State& state)
{
    const std::vector<Hand> hands = sampleHands(1024);
    zeroGameState();
    std::size_t index = 0;
    for (auto _ : state) {
        const Hand& hand = hands[index++ & 1023];
        std::copy(hand.begin(), hand.end(), game.hands[seatWest]);
        benchmark::DoNotOptimize(evaluateHand(seatWest));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(evaluateHandOfASeat);

// ---- The shuffle -------------------------------------------------------------------

void shuffleTheDeck(benchmark::State& state)
{
    platform::headless::install();
    zeroGameState();
    gameWatcher = GameWatcher{};
    int seconds = 0;
    for (auto _ : state) {
        platform::headless::pinSeconds(seconds++ % 60);
        shuffleFromPlatform();
        benchmark::DoNotOptimize(game.Deck[31]);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(shuffleTheDeck);

// ---- One computer decision ---------------------------------------------------------

// West holds a mixed hand that a table card of its suit improves, so every
// call decides the same exchange and leaves the record as it found it. The
// turn engine selects the exchange's cards on the board, so this includes
// redrawing the 15 card controls on the headless screen and the thinking pause.
void giveWestAMixedHand(GameState& position)
{
    position.hands[seatWest][0] = cardOf(7, 1);
    position.hands[seatWest][1] = cardOf(9, 2);
    position.hands[seatWest][2] = cardOf(13, 3);
    position.TableCards[0] = cardOf(14, 1);
    position.TableCards[1] = cardOf(8, 4);
    position.TableCards[2] = cardOf(12, 2);
}

void chooseAComputerMove(benchmark::State& state)
{
    startGame(nullptr);
    giveWestAMixedHand(game);
    game.firstTurnOfRound = 0;
    game.aiFirstTurn = 0;
    Move move = Move::none;
    for (auto _ : state) {
        move = decideComputerTurn(seatWest);
        benchmark::DoNotOptimize(move);
    }
    if (move != Move::exchangeOne)
        state.SkipWithError("the set-up hand did not lead to an exchange");
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(chooseAComputerMove);

// One expert decision in mid-round: every move the seat may make, each played
// out in the same sampled worlds. Its time per decision in whole games (the
// median and the 99th percentile) is in zarta-sim's summary.
// The same position at either depth: a seat's, and the coach's (every move
// in fewer worlds, then the best four in many more).
void anExpertDecision(benchmark::State& state, SearchDepth depth)
{
    GameState position{};
    for (Seat seat = 1; seat <= seatCount; ++seat)
        position.lives[seat] = 4;
    giveWestAMixedHand(position);
    position.currentSeat = seatWest;
    TableMemory memory{};
    memory.seconds = 21;
    memory.round = 2;
    const SeatView view = viewOf(position, memory, seatWest, false);
    for (auto _ : state)
        benchmark::DoNotOptimize(adviseMove(view, depth));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK_CAPTURE(anExpertDecision, seat, SearchDepth::seat)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(anExpertDecision, coach, SearchDepth::coach)->Unit(benchmark::kMillisecond);

// ---- The cues' sounds ------------------------------------------------------------------

// All eight cues made from their recipes, as the desktop does once when its
// sound device first opens; "bytes" is what they hold together.
void synthesizeEveryCue(benchmark::State& state)
{
    std::size_t samples = 0;
    for (auto _ : state) {
        samples = 0;
        for (int cue = 0; cue < platform::cueCount; ++cue)
            samples += platform::sound::cueSamples(static_cast<platform::Cue>(cue)).size();
        benchmark::DoNotOptimize(samples);
    }
    state.counters["bytes"] = benchmark::Counter(static_cast<double>(samples * sizeof(float)));
    state.counters["seconds"] = benchmark::Counter(static_cast<double>(samples) / platform::sound::sampleRate);
}
BENCHMARK(synthesizeEveryCue)->Unit(benchmark::kMillisecond);

// ---- Whole rounds of the real program ----------------------------------------------

long roundsDealt = 0;
sim::ScriptedHuman* roundsHuman = nullptr;

// Allocations between deals: from each game's second deal to its last, so
// whole rounds of steady play and neither "New" nor the game-over box.
struct SteadyCount {
    long dealsThisGame = 0;
    long atSecondDeal = 0;
    long atLastDeal = 0;
    long rounds = 0;
    long allocations = 0;

    void dealt()
    {
        ++dealsThisGame;
        if (dealsThisGame == 2)
            atSecondDeal = allocationCount();
        atLastDeal = allocationCount();
    }
    void gameOver()
    {
        if (dealsThisGame > 2) {
            rounds += dealsThisGame - 2;
            allocations += atLastDeal - atSecondDeal;
        }
        dealsThisGame = 0;
    }
};
SteadyCount steady;

void countRound()
{
    ++roundsDealt;
    steady.dealt();
    roundsHuman->roundDealt();
}

enum class Pixels { drawn, skipped };

// Whole games on the headless back end, from "New" to the game-over box, with
// a scripted human; the figure is rounds per second of processor time. With
// pixels skipped every drawing call still runs but moves nothing: that is the
// game (and the window system) alone.
void playWholeRounds(benchmark::State& state, sim::Strategy strategy, Pixels pixels)
{
    std::mt19937_64 random(7);
    sim::ScriptedHuman human(strategy, random);
    roundsHuman = &human;
    roundsDealt = 0;
    steady = SteadyCount{};
    for (auto _ : state) {
        startGame(&human, countRound);
        platform::headless::skipPixels(pixels == Pixels::skipped);
        while (game.gameRunning) {
            sim::queueHumanInput(human.nextInput());
            runMessageLoop();
        }
        steady.gameOver();
    }
    state.counters["rounds"] = benchmark::Counter(static_cast<double>(roundsDealt), benchmark::Counter::kIsRate);
    state.counters["rounds/game"] =
        benchmark::Counter(static_cast<double>(roundsDealt) / static_cast<double>(state.iterations()));
    state.counters["allocs/round"] = benchmark::Counter(
        steady.rounds > 0 ? static_cast<double>(steady.allocations) / static_cast<double>(steady.rounds) : 0.0);
}
BENCHMARK_CAPTURE(playWholeRounds, greedy, sim::Strategy::greedy, Pixels::drawn)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(playWholeRounds, greedyWithoutPixels, sim::Strategy::greedy, Pixels::skipped)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(playWholeRounds, passive, sim::Strategy::passive, Pixels::drawn)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
