#include "ai/Playout.h"

#include "ai/ComputerTurn.h"
#include "model/CardCatalogue.h"
#include "model/CardNames.h"
#include "model/Deck.h"
#include "model/HandEvaluation.h"
#include "model/TurnOrder.h"

#include <bit>

namespace {

constexpr int humanLifeWorth = 3;
constexpr HandValue plainStopFrom = 26.0;
// A round where every seat keeps passing ends by the described player's
// pass count; this bounds a play-out all the same.
constexpr int mostMovesInAPlayOut = 48;

struct CardsByBit {
    CardRecord cards[deckSize];
    CardsByBit()
    {
        for (const CardRecord& card : CardCatalogue)
            cards[std::countr_zero(cardBit(card))] = card;
    }
};

// Takes `count` cards at random out of `pool` into `into`. A pool that runs
// dry (a record no game could reach) leaves the rest as they were.
void drawCards(CardSet& pool, Draws& draws, int count, CardRecord* into)
{
    for (int drawn = 0; drawn < count && pool != 0; ++drawn) {
        int pick = draws.below(std::popcount(pool));
        CardSet rest = pool;
        while (pick-- > 0)
            rest &= rest - 1;
        const int bit = std::countr_zero(rest);
        pool &= ~(CardSet{1} << bit);
        into[drawn] = cardOfBit(bit);
    }
}

// The described player counts each Pass it shows twice, its pass step and
// the Pass itself; what else it counted no bubble told.
std::int32_t passCountOf(std::int32_t passesShown)
{
    return 2 * passesShown;
}

void copyPublicRecord(const SeatView& view, GameState& world)
{
    world = GameState{};
    for (int position = 0; position < cardsPerHand; ++position)
        world.hands[view.seat][position] = view.hand[position];
    world.dealerSeat = view.dealerSeat;
    world.gameRunning = 1;
    for (Seat seat = 1; seat <= seatCount; ++seat) {
        world.lives[seat] = view.lives[seat];
        world.passCount[seat] = passCountOf(view.calls.passes[seat]);
    }
}

// The open record a seat's last move was decided on, with the hand it held
// then: `now` as it was before the card it took.
GameState beforeLastMove(const SeenMove& seen, Seat seat, const CardRecord (&now)[cardsPerHand])
{
    GameState before{};
    for (int position = 0; position < cardsPerHand; ++position) {
        before.hands[seat][position] = now[position];
        before.TableCards[position] = seen.tableBefore[position];
    }
    if (seen.move == Move::exchangeOne)
        before.hands[seat][seen.handCard] = cardOfBit(std::countr_zero(seen.given));
    before.passedFlags[seat] = seen.passed;
    before.passCount[seat] = passCountOf(seen.passes);
    before.finishedFlags[seat] = seen.finished;
    before.stopCalled = seen.stopCalled;
    before.roundClosing = seen.roundClosing;
    before.aiFirstTurn = seen.firstTurn;
    before.firstTurnOfRound = seen.firstTurn;
    return before;
}

// Nothing seen yet, or a whole hand that lies open on the table, tells nothing of the hidden cards.
bool tellsNothing(const SeenMove& seen)
{
    return seen.move == Move::none || seen.move == Move::exchangeAll;
}

// Whether the described player, holding what `now` held before its last
// move, would have made the move the table saw.
bool explainsLastMove(const SeenMove& seen, Seat seat, const CardRecord (&now)[cardsPerHand])
{
    if (tellsNothing(seen))
        return true;
    GameState before = beforeLastMove(seen, seat, now);
    const HandShape shape = prepareComputerDecision(before, seat);
    const ComputerMove decided = chooseComputerMove(before, seat, shape);
    if (decided.move != seen.move)
        return false;
    return seen.move != Move::exchangeOne ||
           (decided.handCard == seen.handCard && decided.tableCard == seen.tableCard);
}

// Whether a reasonable player, holding what `now` held before its last move,
// would have made it: the plain model's move, or any call for a Pass or Stop.
bool plainlyExplains(const SeenMove& seen, Seat seat, const CardRecord (&now)[cardsPerHand])
{
    if (tellsNothing(seen))
        return true;
    const PlannedMove planned = plainMove(beforeLastMove(seen, seat, now), seat);
    if (seen.move == Move::exchangeOne)
        return planned.move == Move::exchangeOne && planned.handCard == seen.handCard &&
               planned.tableCard == seen.tableCard;
    return planned.move == Move::pass || planned.move == Move::stop;
}

bool closesAtOnce(HandValue value)
{
    return value == valueThirtyOne || value == valueThreeAces;
}

HandValue valueWith(const CardRecord (&hand)[cardsPerHand], int position, const CardRecord& card)
{
    CardRecord cards[cardsPerHand] = {hand[0], hand[1], hand[2]};
    cards[position] = card;
    return valueOfThree(cards[0], cards[1], cards[2]);
}

}  // namespace

std::uint32_t Draws::next()
{
    // xorshift32: plain integer steps, so gcc, clang and the page draw alike.
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_;
}

const CardRecord& cardOfBit(int bit)
{
    static const CardsByBit byBit;
    return byBit.cards[bit];
}

bool drawWorld(const SeatView& view, Draws& draws, GameState& world)
{
    copyPublicRecord(view, world);
    world.currentSeat = view.currentSeat;
    world.firstTurnOfRound = view.firstTurnOfRound;
    world.stopCalled = view.stopCalled;
    world.roundClosing = view.roundClosing;
    for (int position = 0; position < cardsPerHand; ++position)
        world.TableCards[position] = view.table[position];
    CardSet pool = ~(cardsOf(view.hand) | cardsOf(view.table) | view.outOfPlay);
    for (Seat seat = 1; seat <= seatCount; ++seat)
        pool &= ~cardsOf(view.heldAt[seat]);
    for (Seat seat = 1; seat <= seatCount; ++seat) {
        world.finishedFlags[seat] = view.calls.finished[seat];
        world.passedFlags[seat] = view.calls.passed[seat];
        if (seat == view.seat || world.lives[seat] == 0)
            continue;
        for (int position = 0; position < cardsPerHand; ++position) {
            const CardRecord& known = view.heldAt[seat][position];
            if (isDeckCard(known))
                world.hands[seat][position] = known;
            else
                drawCards(pool, draws, 1, world.hands[seat] + position);
        }
    }
    for (Seat seat = 1; seat <= seatCount; ++seat) {
        if (world.lives[seat] == 0)
            continue;
        world.handValue[seat] = handValueOf(seat, world);
        if (seat != view.seat && !view.roundClosing && closesAtOnce(world.handValue[seat]))
            return false;
        if (seat == view.seat)
            continue;
        // The described player is exact: a world it contradicts is no world. A
        // person, or an expert, may play otherwise, so a world the plain model
        // does not explain only counts a quarter.
        if (seat != seatSouth && view.classicSeats) {
            if (!explainsLastMove(view.lastMove[seat], seat, world.hands[seat]))
                return false;
        } else if (!plainlyExplains(view.lastMove[seat], seat, world.hands[seat]) && draws.below(4) != 0) {
            return false;
        }
    }
    return true;
}

void drawDealtWorld(const SeatView& view, Draws& draws, bool exchange, GameState& world)
{
    copyPublicRecord(view, world);
    CardSet pool = ~cardsOf(view.hand);
    // The next three are drawn either way, so both choices meet the same other hands.
    CardRecord next[cardsPerHand];
    drawCards(pool, draws, cardsPerHand, next);
    if (exchange) {
        for (int position = 0; position < cardsPerHand; ++position)
            world.hands[view.seat][position] = next[position];
    }
    for (Seat seat = 1; seat <= seatCount; ++seat) {
        if (world.lives[seat] == 0) {
            world.finishedFlags[seat] = 1;
        } else if (seat != view.seat) {
            drawCards(pool, draws, cardsPerHand, world.hands[seat]);
        }
    }
    drawCards(pool, draws, cardsPerHand, world.TableCards);
    for (Seat seat = 1; seat <= seatCount; ++seat) {
        if (world.lives[seat] != 0)
            evaluateHand(seat, world);
    }
    world.firstTurnOfRound = 1;
    world.currentSeat = nextLiveSeat(view.seat, world);
}

bool mayPass(const GameState& world, Seat seat)
{
    if (seat == seatSouth)
        return world.firstTurnOfRound || !world.roundClosing;
    return true;
}

bool mayStop(const GameState& world, Seat seat)
{
    if (world.firstTurnOfRound)
        return false;
    if (seat == seatSouth)
        return true;
    return !world.stopCalled;
}

PlannedMove plainMove(const GameState& world, Seat seat)
{
    const CardRecord(&hand)[cardsPerHand] = world.hands[seat];
    const HandValue own = valueOfThree(hand[0], hand[1], hand[2]);
    PlannedMove best{};
    HandValue bestValue = own;
    for (int h = 0; h < cardsPerHand; ++h) {
        for (int t = 0; t < cardsPerHand; ++t) {
            const HandValue value = valueWith(hand, h, world.TableCards[t]);
            if (value > bestValue) {
                bestValue = value;
                best = {Move::exchangeOne, h, t};
            }
        }
    }
    const CardRecord(&table)[cardsPerHand] = world.TableCards;
    if (valueOfThree(table[0], table[1], table[2]) > bestValue)
        return {Move::exchangeAll, 0, 0};
    if (best.move == Move::exchangeOne)
        return best;
    const bool stop = mayStop(world, seat) && (own >= plainStopFrom || !mayPass(world, seat));
    return {stop ? Move::stop : Move::pass, 0, 0};
}

void makeMove(GameState& world, Seat seat, const PlannedMove& planned)
{
    const bool exchange = planned.move == Move::exchangeOne || planned.move == Move::exchangeAll;
    if (seat == seatSouth) {
        if (exchange) {
            clearSelections(world);
            if (planned.move == Move::exchangeAll) {
                for (std::int32_t& selected : world.tableSelected)
                    selected = 1;
            } else {
                world.handSelected[planned.handCard] = 1;
                world.tableSelected[planned.tableCard] = 1;
            }
            exchangeSelectedCards(world, seat, TurnScreen{});
            return;
        }
        if (planned.move == Move::stop)
            humanSaysStop(world);
        else
            humanPasses(world);
        endHumanCall(world);
        return;
    }
    world.aiFirstTurn = world.firstTurnOfRound ? 1 : 0;
    prepareComputerDecision(world, seat);
    const ComputerMove decision{planned.move, planned.handCard, planned.tableCard,
                                bookkeepingOf(world, seat, planned.move)};
    applyComputerDecision(world, seat, decision);
    carryOutComputerMove(world, seat, planned.move, TurnScreen{});
}

PlayOutEnd playOutRound(GameState& world, Seat self, bool classicSeats)
{
    for (int moves = 0; moves < mostMovesInAPlayOut && !allSeatsFinished(world); ++moves) {
        const Seat seat = world.currentSeat;
        if (seat == seatSouth || seat == self || !classicSeats)
            makeMove(world, seat, plainMove(world, seat));
        else
            playComputerTurn(world, seat, chooseComputerMove, TurnScreen{});
    }
    world.roundClosing = 1;
    if (findRoundLosers(world) == RoundOutcome::allHandsEqual)
        return {};
    int computersLost = 0;
    for (Seat seat = seatWest; seat <= seatEast; ++seat)
        computersLost += world.roundLosers[seat] != 0 && world.lives[seat] > 0 ? 1 : 0;
    const int humanLost = world.roundLosers[seatSouth] != 0 ? humanLifeWorth : 0;
    const int cost = self == seatSouth ? humanLost - computersLost : computersLost - humanLost;
    return {world.roundLosers[self] != 0, cost};
}
