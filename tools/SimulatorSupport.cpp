#include "tools/SimulatorSupport.h"

#include "app/Program.h"
#include "app/Shell.h"
#include "model/GameEvents.h"
#include "model/GameState.h"
#include "model/HandEvaluation.h"
#include "platform/Headless.h"
#include "resources/BoardIds.h"
#include "ui/Controls.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <sstream>

namespace sim {

namespace {

constexpr HandValue greedyStopValue = 27.0;
constexpr HandValue greedyKeepValue = 15.0;

bool visible(int controlId)
{
    const platform::Handle control = controlHandle(controlId);
    return control != 0 && platform::isWindowVisible(control);
}

HandValue valueOf(const CardRecord (&hand)[3])
{
    return valueOfThree(hand[0], hand[1], hand[2]);
}

// Counts the distinct ids among at most 32 cards.
class DistinctCards {
public:
    void insert(int id)
    {
        if (count < ids.size() && std::find(ids.begin(), ids.begin() + count, id) == ids.begin() + count)
            ids[count++] = id;
    }
    int size() const { return static_cast<int>(count); }

private:
    std::array<int, 32> ids{};
    std::size_t count = 0;
};

bool isRealCard(const CardRecord& card)
{
    return card.rank >= 7 && card.rank <= 14 && card.suit >= 1 && card.suit <= 4;
}

}  // namespace

bool startFreshProcess(const std::function<void()>& beforeStartUp)
{
    platform::headless::install();
    if (beforeStartUp)
        beforeStartUp();
    zeroGameState();
    shell = ShellState{};
    boardControls = ControlHandles{};
    gameWatcher = GameWatcher{};
    if (!startUp())
        return false;
    runMessageLoop();
    return true;
}

struct ProcessSnapshot {
    std::shared_ptr<const platform::headless::Snapshot> platform;
    GameState game;
    ShellState shell;
};

std::shared_ptr<const ProcessSnapshot> saveProcess()
{
    return std::make_shared<const ProcessSnapshot>(ProcessSnapshot{platform::headless::saveSnapshot(), game, shell});
}

void restoreProcess(const ProcessSnapshot& snapshot)
{
    platform::headless::restoreSnapshot(*snapshot.platform);
    game = snapshot.game;
    shell = snapshot.shell;
    gameWatcher = GameWatcher{};
}

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

void queueHumanInput(const HumanInput& input)
{
    switch (input.kind) {
    case HumanInput::Kind::tap:
        platform::headless::pushTap(input.x, input.y);
        break;
    case HumanInput::Kind::newGame: {
        // The pop-up that the first tap opens takes the second from the queue.
        const platform::Rect button = platform::headless::menuButtonRect();
        int x = 0;
        int y = 0;
        if (platform::headless::menuItemPoint(ids::commandNew, x, y)) {
            platform::headless::pushTap((button.left + button.right) / 2, (button.top + button.bottom) / 2);
            platform::headless::pushTap(x, y);
        } else {
            platform::postMessage(shell.boardWindow, platform::Msg::command,
                                  platform::makeCommandParam(ids::commandNew), 0);
        }
        break;
    }
    case HumanInput::Kind::about:
        platform::headless::pushKey('A', true);
        platform::headless::pushKey(platform::keyEnter);
        break;
    }
}

// ---- The scripted human -------------------------------------------------------

HumanInput ScriptedHuman::nextInput()
{
    ++inputsThisRound;
    switch (strategy) {
    case Strategy::random:
        return randomInput();
    case Strategy::passive:
        return passiveInput();
    case Strategy::greedy:
        return greedyInput();
    }
    return passiveInput();
}

int ScriptedHuman::answerBox(std::string_view, platform::BoxButtons buttons)
{
    plannedCount = plannedNext = 0;  // a box means a new deal or the end: any plan is stale
    if (buttons == platform::BoxButtons::ok)
        return platform::answerOk;
    switch (strategy) {
    case Strategy::random:
        return below(2) ? platform::answerYes : platform::answerNo;
    case Strategy::passive:
        return platform::answerYes;
    case Strategy::greedy:
        return valueOf(game.hands[seatSouth]) >= greedyKeepValue ? platform::answerYes : platform::answerNo;
    }
    return platform::answerYes;
}

void ScriptedHuman::roundDealt()
{
    plannedCount = plannedNext = 0;
    inputsThisRound = 0;
}

HumanInput ScriptedHuman::tapControl(int controlId)
{
    lastTapped = controlId;
    return HumanInput::tapOn(controlId);
}

HumanInput ScriptedHuman::randomInput()
{
    const auto pick = below(1000);
    if (pick < 3)
        return HumanInput::newGame();
    if (pick < 23)
        return HumanInput::aboutAndClose();
    if (pick < 60) {
        // Anywhere on the board: the bare table, hidden places, the edges.
        lastTapped = 0;
        // Two draws in two statements, so every compiler takes them in one
        // order: y first, as the recorded traces have it.
        const int y =
            platform::titleBarHeight +
            static_cast<int>(below(platform::screenHeight - platform::titleBarHeight - platform::menuBarHeight));
        const int x = static_cast<int>(below(platform::screenWidth));
        return HumanInput::tapAt(x, y);
    }
    if (pick < 90)  // any card control, the computer seats' and hidden ones included
        return tapControl(ids::controlTable1 + static_cast<int>(below(ids::cardControlCount)));
    if (pick < 130 && lastTapped != 0)
        return tapControl(lastTapped);  // the same card twice
    int choices[8];
    int count = 0;
    for (int id = ids::controlTable1; id <= ids::controlSouth1 + 2; ++id)
        choices[count++] = id;
    if (visible(ids::controlStop))
        choices[count++] = ids::controlStop;
    if (visible(ids::controlPass))
        choices[count++] = ids::controlPass;
    return tapControl(choices[below(static_cast<std::uint64_t>(count))]);
}

HumanInput ScriptedHuman::passiveInput()
{
    const bool impatient = inputsThisRound > patience;
    if (visible(ids::controlStop) && (impatient || !visible(ids::controlPass)))
        return tapControl(ids::controlStop);
    if (visible(ids::controlPass))
        return tapControl(ids::controlPass);
    // The game always offers a button while it waits; this only keeps the run going if it doesn't.
    return tapControl(ids::controlSouth1);
}

// Plans the exchange that most improves the human's hand; false when none does.
bool ScriptedHuman::planBestExchange()
{
    const CardRecord(&hand)[3] = game.hands[seatSouth];
    HandValue best = valueOf(hand);
    bool found = false;
    for (int h = 0; h < 3; ++h) {
        for (int t = 0; t < 3; ++t) {
            CardRecord trial[3] = {hand[0], hand[1], hand[2]};
            trial[h] = game.TableCards[t];
            const HandValue value = valueOf(trial);
            if (value > best) {
                best = value;
                plannedTaps[0] = ids::controlSouth1 + h;
                plannedTaps[1] = ids::controlTable1 + t;
                plannedCount = 2;
                found = true;
            }
        }
    }
    if (valueOf(game.TableCards) > best) {
        for (int position = 0; position < 3; ++position)
            plannedTaps[position] = ids::controlSouth1 + position;
        plannedCount = 3;
        found = true;
    }
    plannedNext = 0;
    return found;
}

HumanInput ScriptedHuman::greedyInput()
{
    if (plannedNext < plannedCount)
        return tapControl(plannedTaps[plannedNext++]);
    plannedCount = plannedNext = 0;
    // A selection left from elsewhere would spoil the plan.
    for (int position = 0; position < 3; ++position) {
        if (game.handSelected[position])
            return tapControl(ids::controlSouth1 + position);
        if (game.tableSelected[position])
            return tapControl(ids::controlTable1 + position);
    }
    const bool stopAvailable = visible(ids::controlStop);
    const bool satisfied = valueOf(game.hands[seatSouth]) >= greedyStopValue || inputsThisRound > patience;
    if (stopAvailable && satisfied)
        return tapControl(ids::controlStop);
    if (planBestExchange())
        return tapControl(plannedTaps[plannedNext++]);
    if (visible(ids::controlPass))
        return tapControl(ids::controlPass);
    if (stopAvailable)
        return tapControl(ids::controlStop);
    return tapControl(ids::controlSouth1);
}

// ---- Soundness -------------------------------------------------------------------

std::string soundnessProblem(const std::int16_t (&livesBefore)[5])
{
    // Checked after every input of every fuzz run: plain appends and no sets.
    std::string problem;
    // The deck stays zero-filled until the first "New" shuffles it.
    DistinctCards deck;
    bool shuffled = false;
    for (const CardRecord& card : game.Deck) {
        shuffled = shuffled || card.sideFace != 0;
        if (isRealCard(card))
            deck.insert(card.sideFace);
    }
    if (shuffled && deck.size() != deckSize)
        problem += "the deck is not a permutation of the 32 cards; ";
    for (Seat seat = 1; seat <= seatCount; ++seat) {
        if (game.lives[seat] < 0 || game.lives[seat] > 4)
            problem +=
                std::string("seat ") + std::to_string(seat) + " has " + std::to_string(game.lives[seat]) + " lives; ";
        else if (game.gameRunning && game.lives[seat] > livesBefore[seat])
            problem += std::string("the lives of seat ") + std::to_string(seat) + " rose during a game; ";
    }
    for (int position = 0; position < 3; ++position) {
        if ((game.handSelected[position] | game.tableSelected[position]) & ~1)
            problem += "a selection flag is neither 0 nor 1; ";
    }
    const bool buttonOffered = visible(ids::controlStop) || visible(ids::controlPass);
    if (!game.gameRunning) {
        if (buttonOffered)
            problem += "Stop or Pass is offered with no game running; ";
        return problem;
    }

    DistinctCards inPlay;
    int cards = 0;
    for (Seat seat = 1; seat <= seatCount; ++seat) {
        if (game.lives[seat] == 0)
            continue;
        for (const CardRecord& card : game.hands[seat]) {
            if (!isRealCard(card))
                problem += std::string("seat ") + std::to_string(seat) + " holds a card that is no real card; ";
            inPlay.insert(card.sideFace);
            ++cards;
        }
    }
    for (const CardRecord& card : game.TableCards) {
        if (!isRealCard(card))
            problem += "the table holds a card that is no real card; ";
        inPlay.insert(card.sideFace);
        ++cards;
    }
    if (inPlay.size() != cards)
        problem += "a card is in two places at once; ";
    if (game.currentSeat != seatSouth)
        problem += std::string("the game waits for input with seat ") + std::to_string(game.currentSeat) + " to move; ";
    if (game.lives[seatSouth] == 0)
        problem += "the game runs on with the human out of lives; ";
    if (game.finishedFlags[seatSouth])
        problem += "the game waits for a human who has finished the round; ";
    if (!buttonOffered)
        problem += "the human is to move but neither Stop nor Pass is offered; ";
    for (int position = 0; position < 3; ++position) {
        if (!visible(ids::controlSouth1 + position) || !visible(ids::controlTable1 + position))
            problem += "the human is to move with a hand or table card hidden; ";
    }
    return problem;
}

// ---- Trace lines -------------------------------------------------------------------

std::string jsonString(std::string_view text)
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
    const bool allZero = card.sideFace == 0 && card.uprightFace == 0 && card.points == 0 && card.suit == 0 &&
                         card.rank == 0 && card.sideFaceSelected == 0 && card.uprightFaceSelected == 0;
    if (allZero)
        return "\"00\"";
    if (!isRealCard(card))
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
    return "{\"ev\":\"shuffle\",\"seconds\":" + std::to_string(seconds) +
           ",\"deck\":" + cardArray(game.Deck, deckSize) + "}";
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

// ---- Settlement ---------------------------------------------------------------------

namespace {

// A hand's value as the rules state it, apart from the game's own evaluation:
// three of a rank 30.5 (aces 91.5), else the best suit's points, else the highest card.
double valueByTheRules(const CardRecord (&hand)[3])
{
    int points[3];
    for (int i = 0; i < 3; ++i)
        points[i] = hand[i].rank == 14 ? 11 : std::min<int>(hand[i].rank, 10);
    if (hand[0].rank == hand[1].rank && hand[1].rank == hand[2].rank)
        return hand[0].rank == 14 ? 91.5 : 30.5;
    int best = std::max({points[0], points[1], points[2]});
    for (int i = 0; i < 3; ++i) {
        for (int j = i + 1; j < 3; ++j) {
            if (hand[i].suit == hand[j].suit) {
                const int k = 3 - i - j;
                best = hand[k].suit == hand[i].suit ? points[0] + points[1] + points[2] : points[i] + points[j];
            }
        }
    }
    return best;
}

std::string seatsText(const bool (&seats)[5])
{
    std::string text;
    for (Seat seat = 1; seat <= seatCount; ++seat) {
        if (seats[seat])
            text += (text.empty() ? "" : ", ") + std::to_string(seat);
    }
    return text.empty() ? "none" : text;
}

std::string valuesText(const double (&values)[5])
{
    std::ostringstream out;
    for (Seat seat = 1; seat <= seatCount; ++seat)
        out << (seat > 1 ? ", " : "") << values[seat];
    return out.str();
}

}  // namespace

std::string SettlementCheck::roundDealt()
{
    std::string problem;
    if (expected == Outcome::humanLoses || expected == Outcome::humanWins)
        problem = "rule 'the game ends when the human or all three computer seats are out': a round was dealt "
                  "with lives " +
                  std::to_string(game.lives[1]) + ", " + std::to_string(game.lives[2]) + ", " +
                  std::to_string(game.lives[3]) + ", " + std::to_string(game.lives[4]) + "; ";
    std::copy(std::begin(game.lives), std::end(game.lives), livesAtDeal);
    threeAcesHeld = false;
    expected = Outcome::none;
    noteThreeAces();
    return problem;
}

void SettlementCheck::computerMoved()
{
    noteThreeAces();
}

// Every hand a seat holds is valued as it is dealt or exchanged, so three aces
// seen at a deal, a computer move or the settlement are the three aces the round had.
void SettlementCheck::noteThreeAces()
{
    for (Seat seat = 1; seat <= seatCount; ++seat) {
        if (livesAtDeal[seat] > 0 && valueByTheRules(game.hands[seat]) == 91.5)
            threeAcesHeld = true;
    }
}

std::string SettlementCheck::settled(bool scored)
{
    noteThreeAces();
    std::string problem;
    double values[5] = {};
    for (Seat seat = 1; seat <= seatCount; ++seat) {
        values[seat] = livesAtDeal[seat] > 0 ? valueByTheRules(game.hands[seat]) : 0.0;
        if (game.handValue[seat] != values[seat]) {
            std::ostringstream out;
            out << "rule 'a seat's recorded value is the value of its three cards': seat " << seat << " holds "
                << cardArray(game.hands[seat], 3) << " worth " << values[seat] << ", recorded " << game.handValue[seat]
                << "; ";
            problem += out.str();
        }
    }
    if ((game.threeAcesFlag != 0) != threeAcesHeld)
        problem += std::string("rule 'three aces change who loses': three aces were ") +
                   (threeAcesHeld ? "held" : "not held") + " this round, the game's flag is " +
                   std::to_string(int{game.threeAcesFlag}) + "; ";

    const bool allEqual = values[1] == values[2] && values[2] == values[3] && values[3] == values[4];
    bool losers[5] = {};
    if (!allEqual) {
        double lowest = 99.0;
        double best = 0.0;
        for (Seat seat = 1; seat <= seatCount; ++seat) {
            best = std::max(best, values[seat]);
            if (livesAtDeal[seat] > 0)
                lowest = std::min(lowest, values[seat]);
        }
        for (Seat seat = 1; seat <= seatCount; ++seat) {
            const bool lowestHand = values[seat] == lowest;
            const bool beatenAfterThreeAces = threeAcesHeld && values[seat] < best;
            losers[seat] = livesAtDeal[seat] > 0 && (lowestHand || beatenAfterThreeAces);
        }
    }
    const std::string rule = allEqual        ? "rule 'four equal hands are dealt again and nobody loses'"
                             : threeAcesHeld ? "rule 'after three aces every seat without the best hand loses'"
                                             : "rule 'the lowest live hands lose, ties all lose'";
    if (scored == allEqual)
        problem += rule + ": values " + valuesText(values) + (scored ? " were scored" : " were dealt again") + "; ";
    bool lost[5] = {};
    bool wrongLives = false;
    for (Seat seat = 1; seat <= seatCount; ++seat) {
        lost[seat] = game.lives[seat] != livesAtDeal[seat];
        wrongLives = wrongLives || game.lives[seat] != livesAtDeal[seat] - (losers[seat] ? 1 : 0);
    }
    if (wrongLives)
        problem += rule + ": values " + valuesText(values) + ", seats losing a life should be " + seatsText(losers) +
                   ", the game took a life from " + seatsText(lost) + "; ";

    if (!scored)
        expected = Outcome::goesOn;
    else if (game.lives[seatSouth] == 0)
        expected = Outcome::humanLoses;
    else if (game.lives[seatWest] == 0 && game.lives[seatNorth] == 0 && game.lives[seatEast] == 0)
        expected = Outcome::humanWins;
    else
        expected = Outcome::goesOn;
    return problem;
}

std::string SettlementCheck::gameOverBox(std::string_view text)
{
    const Outcome was = expected;
    expected = Outcome::none;
    if (was == Outcome::humanLoses && text == "You Lose...")
        return "";
    if (was == Outcome::humanWins && text == "You Win...")
        return "";
    return "rule 'the game ends when the human or all three computer seats are out': \"" + std::string(text) +
           "\" with lives " + std::to_string(game.lives[1]) + ", " + std::to_string(game.lives[2]) + ", " +
           std::to_string(game.lives[3]) + ", " + std::to_string(game.lives[4]) + "; ";
}

}  // namespace sim
