#include "tools/SimulatorSupport.h"

#include "app/BoardIds.h"
#include "app/Shell.h"
#include "model/GameState.h"
#include "model/HandEvaluation.h"

#include <deque>
#include <set>
#include <sstream>

namespace sim {

namespace {

constexpr HandValue greedyStopValue = 27.0;
constexpr HandValue keepValue = 15.0;

bool visible(int controlId)
{
    const platform::Handle control = controlHandle(controlId);
    return control != 0 && platform::isWindowVisible(control);
}

std::uint64_t below(std::mt19937_64& random, std::uint64_t bound)
{
    return random() % bound;
}

// The greedy human's taps still to make for the exchange it has chosen.
std::deque<int> plannedTaps;

HandValue valueWith(const CardRecord (&hand)[3])
{
    return valueOfThree(hand[0], hand[1], hand[2]);
}

// Plans the exchange that most improves the human's hand; false when none does.
bool planBestExchange()
{
    const CardRecord (&hand)[3] = game.hands[seatSouth];
    HandValue best = valueWith(hand);
    bool found = false;
    for (int h = 0; h < 3; ++h) {
        for (int t = 0; t < 3; ++t) {
            CardRecord trial[3] = {hand[0], hand[1], hand[2]};
            trial[h] = game.TableCards[t];
            const HandValue value = valueWith(trial);
            if (value > best) {
                best = value;
                plannedTaps = {ids::controlSouth1 + h, ids::controlTable1 + t};
                found = true;
            }
        }
    }
    if (valueWith(game.TableCards) > best) {
        plannedTaps = {ids::controlSouth1, ids::controlSouth1 + 1, ids::controlSouth1 + 2};
        found = true;
    }
    return found;
}

HumanInput buttonOrFirstCard(bool preferPass)
{
    if (preferPass && visible(ids::controlPass))
        return HumanInput::tapOn(ids::controlPass);
    if (visible(ids::controlStop))
        return HumanInput::tapOn(ids::controlStop);
    if (visible(ids::controlPass))
        return HumanInput::tapOn(ids::controlPass);
    return HumanInput::tapOn(ids::controlSouth1);
}

HumanInput randomInput(std::mt19937_64& random)
{
    const auto pick = below(random, 1000);
    if (pick < 3)
        return HumanInput::newGame();
    if (pick < 23)
        return HumanInput::aboutAndClose();
    if (pick < 100) {
        // Anywhere on the board: hidden places, the computer seats' cards, the bare table.
        return HumanInput::tapAt(static_cast<int>(below(random, platform::screenWidth)),
                                 platform::titleBarHeight + static_cast<int>(below(random, 268)));
    }
    int choices[8];
    int count = 0;
    for (int id = ids::controlTable1; id <= ids::controlSouth1 + 2; ++id)
        choices[count++] = id;
    if (visible(ids::controlStop))
        choices[count++] = ids::controlStop;
    if (visible(ids::controlPass))
        choices[count++] = ids::controlPass;
    return HumanInput::tapOn(choices[below(random, static_cast<std::uint64_t>(count))]);
}

HumanInput greedyInput()
{
    if (plannedTaps.empty()) {
        // A selection left from elsewhere would spoil the plan.
        for (int position = 0; position < 3; ++position) {
            if (game.handSelected[position])
                return HumanInput::tapOn(ids::controlSouth1 + position);
            if (game.tableSelected[position])
                return HumanInput::tapOn(ids::controlTable1 + position);
        }
        if (!planBestExchange()) {
            const bool stopNow = valueWith(game.hands[seatSouth]) >= greedyStopValue;
            return buttonOrFirstCard(!stopNow);
        }
    }
    const int next = plannedTaps.front();
    plannedTaps.pop_front();
    return HumanInput::tapOn(next);
}

}  // namespace

bool parseStrategy(const std::string& name, Strategy& strategy)
{
    if (name == "random")
        strategy = Strategy::random;
    else if (name == "passive")
        strategy = Strategy::passive;
    else if (name == "greedy")
        strategy = Strategy::greedy;
    else
        return false;
    return true;
}

const char* strategyName(Strategy strategy)
{
    switch (strategy) {
    case Strategy::random:
        return "random";
    case Strategy::passive:
        return "passive";
    case Strategy::greedy:
        return "greedy";
    }
    return "?";
}

HumanInput HumanInput::tapOn(int controlId)
{
    const platform::Rect rect = platform::getWindowRect(controlHandle(controlId));
    return tapAt((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
}

HumanInput chooseHumanInput(Strategy strategy, std::mt19937_64& random)
{
    switch (strategy) {
    case Strategy::random:
        return randomInput(random);
    case Strategy::passive:
        return buttonOrFirstCard(true);
    case Strategy::greedy:
        return greedyInput();
    }
    return buttonOrFirstCard(true);
}

int answerBox(Strategy strategy, std::mt19937_64& random, const std::string&, platform::BoxButtons buttons)
{
    plannedTaps.clear();  // a box means a new deal or the end: any plan is stale
    if (buttons == platform::BoxButtons::ok)
        return platform::answerOk;
    switch (strategy) {
    case Strategy::random:
        return below(random, 2) ? platform::answerYes : platform::answerNo;
    case Strategy::passive:
        return platform::answerYes;
    case Strategy::greedy:
        return valueWith(game.hands[seatSouth]) >= keepValue ? platform::answerYes : platform::answerNo;
    }
    return platform::answerYes;
}

std::string soundnessProblem(const std::int16_t (&livesBefore)[5])
{
    std::ostringstream problem;
    std::set<int> deck;
    for (const CardRecord& card : game.Deck)
        deck.insert(card.sideFace);
    if (deck.size() != deckSize || deck.count(0) != 0)
        problem << "the deck is not a permutation of the 32 cards; ";
    for (Seat seat = 1; seat <= seatCount; ++seat) {
        if (game.lives[seat] < 0 || game.lives[seat] > 4)
            problem << "seat " << seat << " has " << game.lives[seat] << " lives; ";
        else if (game.gameRunning && game.lives[seat] > livesBefore[seat])
            problem << "the lives of seat " << seat << " rose during a game; ";
    }
    if (game.gameRunning) {
        std::set<int> inPlay;
        int cards = 0;
        for (Seat seat = 1; seat <= seatCount; ++seat) {
            if (game.lives[seat] == 0)
                continue;
            for (const CardRecord& card : game.hands[seat]) {
                if (card.rank < 7 || card.rank > 14 || card.suit < 1 || card.suit > 4)
                    problem << "seat " << seat << " holds a card that is no real card; ";
                inPlay.insert(card.sideFace);
                ++cards;
            }
        }
        for (const CardRecord& card : game.TableCards) {
            if (card.rank < 7 || card.rank > 14)
                problem << "the table holds a card that is no real card; ";
            inPlay.insert(card.sideFace);
            ++cards;
        }
        if (static_cast<int>(inPlay.size()) != cards)
            problem << "a card is in two places at once; ";
        if (game.currentSeat != seatSouth)
            problem << "the game waits for input with seat " << game.currentSeat << " to move; ";
        if (game.lives[seatSouth] == 0)
            problem << "the game runs on with the human out of lives; ";
    }
    return problem.str();
}

std::string jsonString(const std::string& text)
{
    std::string out = "\"";
    for (const char each : text) {
        if (each == '"' || each == '\\') {
            out += '\\';
            out += each;
        } else if (static_cast<unsigned char>(each) < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(each));
            out += escaped;
        } else {
            out += each;
        }
    }
    return out + "\"";
}

namespace {

std::string cardCode(const CardRecord& card)
{
    if (card.sideFace == 0 && card.uprightFace == 0 && card.points == 0 && card.suit == 0 && card.rank == 0)
        return "\"00\"";
    if (card.rank < 7 || card.rank > 14 || card.suit < 1 || card.suit > 4)
        return "\"--\"";
    std::string code = "\"";
    code += "789TJQKA"[card.rank - 7];
    code += "cdhs"[card.suit - 1];
    return code + "\"";
}

template <typename Value>
std::string seatArray(const Value (&values)[5])
{
    std::ostringstream out;
    out << '[';
    for (Seat seat = 1; seat <= seatCount; ++seat)
        out << (seat > 1 ? "," : "") << values[seat];
    out << ']';
    return out.str();
}

std::string cardArray(const CardRecord* cards, int count)
{
    std::string out = "[";
    for (int index = 0; index < count; ++index)
        out += (index > 0 ? "," : "") + cardCode(cards[index]);
    return out + "]";
}

std::string flagArray(const std::int32_t (&flags)[3])
{
    return "[" + std::to_string(flags[0]) + "," + std::to_string(flags[1]) + "," + std::to_string(flags[2]) + "]";
}

}  // namespace

std::string shuffleJson(int seconds)
{
    return "{\"ev\":\"shuffle\",\"seconds\":" + std::to_string(seconds) + ",\"deck\":" + cardArray(game.Deck, deckSize) +
           "}";
}

std::string snapshotJson(const char* at, const std::string& extraFields, std::int64_t pauseUnits)
{
    std::ostringstream out;
    out << "{\"ev\":\"state\",\"at\":\"" << at << "\"," << extraFields << "\"current\":" << game.currentSeat
        << ",\"dealer\":" << game.dealerSeat << ",\"running\":" << int{game.gameRunning}
        << ",\"pending\":" << int{game.dealerChoicePending} << ",\"first\":" << int{game.firstTurnOfRound}
        << ",\"stop\":" << int{game.stopCalled} << ",\"closing\":" << int{game.roundClosing}
        << ",\"aces\":" << int{game.threeAcesFlag} << ",\"lives\":" << seatArray(game.lives)
        << ",\"values\":" << seatArray(game.handValue) << ",\"finished\":" << seatArray(game.finishedFlags)
        << ",\"passed\":" << seatArray(game.passedFlags) << ",\"passCount\":" << seatArray(game.passCount)
        << ",\"winners\":" << seatArray(game.roundWinners) << ",\"losers\":" << seatArray(game.roundLosers)
        << ",\"hands\":[";
    for (Seat seat = 1; seat <= seatCount; ++seat)
        out << (seat > 1 ? "," : "") << cardArray(game.hands[seat], 3);
    out << "],\"table\":" << cardArray(game.TableCards, 3) << ",\"handSel\":" << flagArray(game.handSelected)
        << ",\"tableSel\":" << flagArray(game.tableSelected) << ",\"pause\":" << pauseUnits << "}";
    return out.str();
}

}  // namespace sim
