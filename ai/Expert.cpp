#include "ai/Expert.h"

#include "ai/ComputerTurn.h"
#include "model/HandEvaluation.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <utility>

namespace {

// Enough worlds that the chances it reports move by a few points at most,
// few enough that a decision stays within a pause's first frames.
constexpr int worldsPerDecision = 100;
constexpr int coachWorldsForAll = 50;
constexpr int coachWorlds = 300;
constexpr int coachFinalists = 4;
constexpr int worldsPerKeep = 100;
// Draws that contradict the view are thrown away; this bounds the retries.
constexpr int drawsPerWorld = 40;
constexpr int expertPatience = 12;

constexpr int halves(HandValue value)
{
    return static_cast<int>(value * 2.0);
}

struct Candidates {
    ExpertOption options[12];
    int count = 0;
    void add(Move move, int handCard, int tableCard, HandValue valueAfter)
    {
        options[count++] = ExpertOption{PlannedMove{move, handCard, tableCard}, valueAfter, 0, 0, 0, 0};
    }
};

Candidates candidatesOf(const GameState& world, Seat seat)
{
    Candidates candidates;
    const CardRecord(&hand)[cardsPerHand] = world.hands[seat];
    const CardRecord(&table)[cardsPerHand] = world.TableCards;
    const HandValue own = valueOfThree(hand[0], hand[1], hand[2]);
    if (mayPass(world, seat))
        candidates.add(Move::pass, 0, 0, own);
    if (mayStop(world, seat))
        candidates.add(Move::stop, 0, 0, own);
    for (int h = 0; h < cardsPerHand; ++h) {
        for (int t = 0; t < cardsPerHand; ++t) {
            CardRecord cards[cardsPerHand] = {hand[0], hand[1], hand[2]};
            cards[h] = table[t];
            candidates.add(Move::exchangeOne, h, t, valueOfThree(cards[0], cards[1], cards[2]));
        }
    }
    candidates.add(Move::exchangeAll, 0, 0, valueOfThree(table[0], table[1], table[2]));
    return candidates;
}

// Fewer lives lost first, then less cost to the seat's side, then the
// higher final hands, each per play-out (moves weighed in more worlds meet
// those weighed in fewer); the earlier option keeps a tie.
bool better(const ExpertOption& a, const ExpertOption& b)
{
    const auto perPlayOut = [&a, &b](int ofA, int ofB) {
        return std::pair{std::int64_t{ofA} * b.playOuts, std::int64_t{ofB} * a.playOuts};
    };
    if (const auto [x, y] = perPlayOut(a.losses, b.losses); x != y)
        return x < y;
    if (const auto [x, y] = perPlayOut(a.sideCost, b.sideCost); x != y)
        return x < y;
    const auto [x, y] = perPlayOut(a.finalValues, b.finalValues);
    return x > y;
}

// Leaves the `kept` best of the options weighed so far in play.
void keepTheBest(const Candidates& candidates, int kept, bool (&inPlay)[12])
{
    int order[12];
    for (int index = 0; index < candidates.count; ++index)
        order[index] = index;
    std::stable_sort(order, order + candidates.count,
                     [&candidates](int a, int b) { return better(candidates.options[a], candidates.options[b]); });
    for (int rank = kept; rank < candidates.count; ++rank)
        inPlay[order[rank]] = false;
}

bool sameKind(Move a, Move b)
{
    const auto exchange = [](Move move) { return move == Move::exchangeOne || move == Move::exchangeAll; };
    return a == b || (exchange(a) && exchange(b));
}

// The world the view's seat is in; the view itself when no draw agrees.
void drawAgreeingWorld(const SeatView& view, Draws& draws, GameState& world)
{
    for (int attempt = 0; attempt < drawsPerWorld; ++attempt) {
        if (drawWorld(view, draws, world))
            return;
    }
}

}  // namespace

bool goesInCircles(const SeatView& view)
{
    int inPlay = 0;
    for (Seat seat = 1; seat <= seatCount; ++seat)
        inPlay += view.lives[seat] > 0 ? 1 : 0;
    return view.tableShown > 2 * inPlay;
}

ExpertAdvice adviseMove(const SeatView& view, SearchDepth depth)
{
    Draws draws(view.seed);
    GameState world;
    drawAgreeingWorld(view, draws, world);
    Candidates candidates = candidatesOf(world, view.seat);
    const bool coach = depth == SearchDepth::coach;
    const int worlds = coach ? coachWorlds : worldsPerDecision;
    bool inPlay[12];
    std::fill(std::begin(inPlay), std::end(inPlay), true);
    for (int played = 0; played < worlds; ++played) {
        if (played > 0)
            drawAgreeingWorld(view, draws, world);
        // The moves far behind after the first worlds stay behind; the rest
        // are told apart in many more.
        if (coach && played == coachWorldsForAll)
            keepTheBest(candidates, coachFinalists, inPlay);
        for (int index = 0; index < candidates.count; ++index) {
            if (!inPlay[index])
                continue;
            ExpertOption& option = candidates.options[index];
            GameState copy = world;
            makeMove(copy, view.seat, option.planned);
            const PlayOutEnd end = playOutRound(copy, view.seat, view.classicSeats);
            option.losses += end.lost ? 1 : 0;
            option.sideCost += end.sideCost;
            option.finalValues += halves(copy.handValue[view.seat]);
            ++option.playOuts;
        }
    }
    ExpertAdvice advice;
    // Among the moves still in play: one left behind early is judged on fewer worlds.
    int best = -1;
    for (int index = 0; index < candidates.count; ++index) {
        if (inPlay[index] && (best < 0 || better(candidates.options[index], candidates.options[best])))
            best = index;
    }
    // The play-outs end every round, so they cannot see one that never
    // ends. Against the described seats, which never tire, a round going in
    // circles ends only by a Stop; expert seats stop once out of patience,
    // and waiting for that is worth more than stopping first.
    if (view.classicSeats && goesInCircles(view)) {
        for (int index = 0; index < candidates.count; ++index) {
            if (candidates.options[index].planned.move == Move::stop) {
                best = index;
                advice.inCircles = true;
            }
        }
    }
    std::copy(candidates.options, candidates.options + candidates.count, advice.options);
    advice.optionCount = candidates.count;
    advice.best = candidates.options[best];
    advice.playOuts = advice.best.playOuts;
    advice.runnerUp.planned.move = Move::none;
    bool found = false;
    for (int index = 0; index < candidates.count; ++index) {
        const ExpertOption& option = candidates.options[index];
        if (sameKind(option.planned.move, advice.best.planned.move))
            continue;
        if (!found || better(option, advice.runnerUp)) {
            advice.runnerUp = option;
            found = true;
        }
    }
    return advice;
}

KeepAdvice adviseKeep(const SeatView& view)
{
    KeepAdvice advice;
    advice.keptValue = valueOfThree(view.hand[0], view.hand[1], view.hand[2]);
    advice.playOuts = worldsPerKeep;
    for (int played = 0; played < worldsPerKeep; ++played) {
        // The same draws for both choices, so only the choice differs.
        const Draws start(view.seed + static_cast<std::uint32_t>(played) * 7919u);
        GameState world;
        Draws keeping = start;
        drawDealtWorld(view, keeping, false, world);
        advice.lossesKeeping += playOutRound(world, view.seat, view.classicSeats).lost ? 1 : 0;
        Draws exchanging = start;
        drawDealtWorld(view, exchanging, true, world);
        advice.lossesExchanging += playOutRound(world, view.seat, view.classicSeats).lost ? 1 : 0;
    }
    advice.keep = advice.lossesKeeping <= advice.lossesExchanging;
    return advice;
}

ComputerMove chooseExpertMove(const GameState& state, Seat seat, const HandShape&)
{
    if (seat < seatWest || seat > seatEast)
        return {};
    // Against a table that never stops, a seat that always sees a better
    // exchange would play the round for ever; a dozen moves is plenty.
    if (tableMemory.movesBy[seat] >= expertPatience && !state.firstTurnOfRound && !state.stopCalled)
        return {Move::stop, 0, 0, bookkeepingOf(state, seat, Move::stop)};
    const ExpertAdvice advice = adviseMove(viewOf(state, tableMemory, seat, false));
    const PlannedMove& planned = advice.best.planned;
    return {planned.move, planned.handCard, planned.tableCard, bookkeepingOf(state, seat, planned.move)};
}
