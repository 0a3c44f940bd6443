#include "ai/TableMemory.h"

#include "model/CardNames.h"

#include <algorithm>
#include <iterator>

TableMemory tableMemory{};

CardSet cardBit(const CardRecord& card)
{
    if (!isDeckCard(card))
        return 0;
    return CardSet{1} << ((card.suit - 1) * 8 + (card.rank - 7));
}

CardSet cardsOf(const CardRecord (&cards)[cardsPerHand])
{
    return cardBit(cards[0]) | cardBit(cards[1]) | cardBit(cards[2]);
}

void forgetTable()
{
    tableMemory = TableMemory{};
}

void rememberNewRound(int seconds)
{
    const std::int32_t round = tableMemory.round + 1;
    ShownCalls calls{};
    std::copy(std::begin(tableMemory.calls.passes), std::end(tableMemory.calls.passes), calls.passes);
    tableMemory = TableMemory{};
    tableMemory.seconds = seconds;
    tableMemory.round = round;
    tableMemory.calls = calls;
}

void rememberLaidAside(Seat dealer, const CardRecord (&hand)[cardsPerHand])
{
    tableMemory.laidAside = cardsOf(hand);
    tableMemory.laidAsideBy = dealer;
}

void rememberExchange(const GameState& before, const GameState& after, Seat seat)
{
    if (seat < 1 || seat > seatCount)
        return;
    // A card that came from the open table is known where it now lies.
    const CardSet table = cardsOf(before.TableCards);
    for (int position = 0; position < cardsPerHand; ++position) {
        const CardRecord& card = after.hands[seat][position];
        if (sameCard(card, before.hands[seat][position]))
            continue;
        tableMemory.heldAt[seat][position] = (cardBit(card) & table) != 0 ? card : CardRecord{};
    }
    tableMemory.movesBy[seat] += 1;
}

namespace {

HumanMoveWatcher humanMoveWatcher = nullptr;

void noteTable(CardSet table)
{
    for (int index = 0; index < tableMemory.tableCount; ++index) {
        if (tableMemory.tables[index] == table) {
            if (tableMemory.tableShown[index] < 255)
                ++tableMemory.tableShown[index];
            return;
        }
    }
    // A round with more different tables than this is no circle.
    if (tableMemory.tableCount < tablesRemembered) {
        tableMemory.tables[tableMemory.tableCount] = table;
        tableMemory.tableShown[tableMemory.tableCount++] = 1;
    }
}

}  // namespace

void watchHumanMoves(HumanMoveWatcher watcher)
{
    humanMoveWatcher = watcher;
}

int timesShown(const TableMemory& memory, CardSet table)
{
    for (int index = 0; index < memory.tableCount; ++index) {
        if (memory.tables[index] == table)
            return memory.tableShown[index];
    }
    return 0;
}

void rememberMove(const GameState& before, const GameState& after, Seat seat, Move move)
{
    if (seat < 1 || seat > seatCount)
        return;
    SeenMove seen;
    seen.move = move;
    for (int position = 0; position < cardsPerHand; ++position) {
        seen.tableBefore[position] = before.TableCards[position];
        if (!sameCard(before.hands[seat][position], after.hands[seat][position]))
            seen.handCard = position;
        if (!sameCard(before.TableCards[position], after.TableCards[position]))
            seen.tableCard = position;
    }
    seen.given = cardsOf(after.TableCards) & ~cardsOf(before.TableCards);
    ShownCalls& calls = tableMemory.calls;
    seen.passed = calls.passed[seat];
    seen.passes = calls.passes[seat];
    seen.finished = calls.finished[seat];
    seen.stopCalled = before.stopCalled;
    seen.roundClosing = before.roundClosing;
    seen.firstTurn = before.firstTurnOfRound;
    if (seat == seatSouth && humanMoveWatcher)
        humanMoveWatcher(before, tableMemory, move, seen.handCard, seen.tableCard);
    tableMemory.lastMove[seat] = seen;
    if (tableMemory.tableCount == 0)
        noteTable(cardsOf(before.TableCards));  // as dealt
    noteTable(cardsOf(after.TableCards));
    // Any move after a Stop is the seat's last of the round.
    if (move == Move::stop || tableMemory.stopShown)
        calls.finished[seat] = 1;
    if (move == Move::stop)
        tableMemory.stopShown = 1;
    if (move == Move::pass) {
        calls.passed[seat] = 1;
        calls.passes[seat] += 1;
    }
    if (move == Move::exchangeOne || move == Move::exchangeAll)
        rememberExchange(before, after, seat);
    else
        tableMemory.movesBy[seat] += 1;
}
