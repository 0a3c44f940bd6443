// The account in words: a line for each of the game's events, and the board
// as it stands. The JSON object that goes with each line is made in
// TableAccountJson.cpp.
#include "app/TableAccount.h"

#include "app/KeyboardFocus.h"
#include "app/TableAccountJson.h"
#include "model/GameEvents.h"
#include "model/HandEvaluation.h"
#include "resources/BoardIds.h"
#include "ui/Controls.h"

#include <charconv>
#include <utility>
#include <vector>

// Named, so the page's build can tell every helper of the account by one
// prefix (web/CMakeLists.txt: none of them ever pauses).
namespace account {
namespace {

NewsTeller teller = nullptr;

std::string seatName(Seat seat)
{
    constexpr const char* names[] = {"", "You", "West", "North", "East"};
    return seat >= seatSouth && seat <= seatEast ? names[seat] : "The table";
}

// The verb for the seat: "You take", "West takes".
std::string verb(Seat seat, const char* plain, const char* third)
{
    return seatName(seat) + " " + (seat == seatSouth ? plain : third);
}

std::string listOfNames(const std::vector<std::string>& names)
{
    std::string text;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i > 0)
            text += i + 1 == names.size() ? " and " : ", ";
        text += names[i];
    }
    return text;
}

// Small whole numbers in words of digits; the page's program carries no printf.
std::string number(int value)
{
    char digits[12];
    return {digits, std::to_chars(digits, digits + sizeof digits, value).ptr};
}

// Hand values are whole or end in .5.
std::string valueText(HandValue value)
{
    const int whole = static_cast<int>(value);
    return number(whole) + (value != whole ? ".5" : "");
}

std::string valueWords(HandValue value)
{
    return value == valueThreeAces ? "three aces" : valueText(value);
}

// "the ten, jack and king of diamonds" for one suit, each card named otherwise.
std::string handInWords(const CardRecord* cards)
{
    std::vector<std::string> names;
    bool oneSuit = true;
    for (int position = 0; position < cardsPerHand; ++position)
        oneSuit = oneSuit && isDeckCard(cards[position]) && cards[position].suit == cards[0].suit;
    if (!oneSuit) {
        for (int position = 0; position < cardsPerHand; ++position)
            names.push_back(cardName(cards[position]));
        return listOfNames(names);
    }
    // Lowest first; three cards sort in three steps.
    int ranks[] = {cards[0].rank, cards[1].rank, cards[2].rank};
    for (auto [a, b] : {std::pair{0, 1}, std::pair{1, 2}, std::pair{0, 1}}) {
        if (ranks[a] > ranks[b])
            std::swap(ranks[a], ranks[b]);
    }
    for (int rank : ranks)
        names.push_back(rankWord(rank));
    return "the " + listOfNames(names) + " of " + suitWord(cards[0].suit);
}

// ---- The game's events -------------------------------------------------------

void tell(const std::string& line, const std::string& eventJson)
{
    if (teller)
        teller(line, eventJson);
}

void onDealerChosen(Seat dealer)
{
    std::vector<std::string> drawn;
    CardRecord cards[seatCount];
    for (Seat seat = seatSouth; seat <= seatEast; ++seat) {
        cards[seat - 1] = game.hands[seat][1];
        drawn.push_back((seat == seatSouth ? std::string("you") : seatName(seat)) + " " + cardName(cards[seat - 1]));
    }
    tell("New game. The dealer draw: " + listOfNames(drawn) + ". " + verb(dealer, "deal", "deals") + ".",
         accountJson::dealerDraw(dealer, cards));
}

void onDealerDecided(Seat dealer, bool kept)
{
    std::string line = verb(dealer, "deal", "deals") + (kept ? " and keep" : " and take");
    if (dealer != seatSouth)
        line += "s";
    line += kept ? (dealer == seatSouth ? " your first three cards." : " its first three cards.")
                 : " the next three cards.";
    tell(line, accountJson::dealerChoice(dealer, kept));
}

void onDealt()
{
    std::vector<std::string> table;
    for (const CardRecord& card : game.TableCards)
        table.push_back(cardName(card));
    tell("The table shows " + listOfNames(table) + ".", accountJson::dealt());
}

void onExchanged(Seat seat, int handPosition, int tablePosition)
{
    std::string line;
    const CardRecord* took = nullptr;
    const CardRecord* left = nullptr;
    int exchanged = 1;
    if (handPosition < 0) {
        std::vector<std::string> taken;
        std::vector<std::string> leftCards;
        for (int position = 0; position < cardsPerHand; ++position) {
            taken.push_back(cardName(game.hands[seat][position]));
            leftCards.push_back(cardName(game.TableCards[position]));
        }
        line = verb(seat, "swap your", "swaps its") +
               " whole hand for the table: " + (seat == seatSouth ? "you take " : "it takes ") + listOfNames(taken) +
               " and leave" + (seat == seatSouth ? " " : "s ") + listOfNames(leftCards) + ".";
        took = game.hands[seat];
        left = game.TableCards;
        exchanged = cardsPerHand;
    } else {
        const CardRecord& taken = game.hands[seat][handPosition];
        const CardRecord& leftCard = game.TableCards[tablePosition];
        line = verb(seat, "take", "takes") + " " + cardName(taken) + " and leave" + (seat == seatSouth ? " " : "s ") +
               cardName(leftCard) + ".";
        took = &taken;
        left = &leftCard;
    }
    const HandValue value = handValueOf(seat);
    // Appended piece by piece: gcc 12 at -O3 takes a C string put before a
    // temporary std::string for an overlapping copy (-Wrestrict), a false
    // alarm that would stop a build with warnings as errors.
    if (value == valueThreeAces || value == valueThirtyOne) {
        line += ' ';
        line += value == valueThreeAces ? verb(seat, "hold", "holds") : verb(seat, "have", "has");
        line += value == valueThreeAces ? " three aces: the round ends." : " 31, Zarta: the round ends.";
    }
    tell(line, accountJson::exchange(seat, took, left, exchanged));
}

void tellMove(Seat seat, Move move)
{
    if (move == Move::pass)
        tell(verb(seat, "pass", "passes") + ".", accountJson::move("pass", seat));
    else if (move == Move::stop)
        tell(verb(seat, "say", "says") + " Stop.", accountJson::move("stop", seat));
}

void onComputerMoved(Seat seat, Move move)
{
    tellMove(seat, move);
}

void onHumanMoved(Move move)
{
    tellMove(seatSouth, move);
}

void onSettling(bool scored)
{
    if (!scored) {
        tell("All four hands are equal: the round is dealt again.", accountJson::redeal());
        return;
    }
    std::vector<std::string> values;
    std::string losses;
    for (Seat seat = seatSouth; seat <= seatEast; ++seat) {
        const HandValue value = game.handValue[seat];
        if (value > 0.0)
            values.push_back((seat == seatSouth ? std::string("you") : seatName(seat)) + " " + valueWords(value));
        if (!game.roundLosers[seat] || value <= 0.0)
            continue;
        const int lives = game.lives[seat];
        // Appended piece by piece: gcc 12 at -O3 takes a C string put before
        // a temporary std::string for an overlapping copy (-Wrestrict), a
        // false alarm that would stop a build with warnings as errors.
        losses += ' ';
        if (lives == 0) {
            losses += verb(seat, "lose your", "loses its");
            losses += seat == seatSouth ? " last life." : " last life and is out.";
        } else {
            losses += verb(seat, "lose", "loses");
            losses += " a life, " + number(lives) + " left.";
        }
    }
    // At the round's end every hand lies open: each is told by its cards, then the result.
    for (Seat seat = seatSouth; seat <= seatEast; ++seat) {
        const HandValue value = game.handValue[seat];
        if (value > 0.0)
            tell(verb(seat, "show", "shows") + " " + handInWords(game.hands[seat]) + ": " + valueWords(value) + ".",
                 accountJson::shows(seat));
    }
    std::string line = "Round over: " + listOfNames(values) + "." + losses;
    const char* gameOver = nullptr;
    if (game.lives[seatSouth] == 0) {
        line += " You lose the game.";
        gameOver = "lost";
    } else if (game.lives[seatWest] == 0 && game.lives[seatNorth] == 0 && game.lives[seatEast] == 0) {
        line += " You win the game!";
        gameOver = "won";
    }
    tell(line, accountJson::roundEnd(gameOver));
}

// ---- The board in words -------------------------------------------------------

std::string cardsInWords(const CardRecord* cards, const std::int32_t* selected)
{
    std::vector<std::string> names;
    for (int position = 0; position < cardsPerHand; ++position)
        names.push_back(cardName(cards[position]) + (selected && selected[position] ? " (selected)" : ""));
    return listOfNames(names);
}

std::string controlInWords(int controlId)
{
    static const char* const positions[] = {"first", "second", "third"};
    if (controlId >= ids::controlTable1 && controlId < ids::controlTable1 + cardsPerHand) {
        const int position = controlId - ids::controlTable1;
        return std::string("the ") + positions[position] + " table card, " + cardName(game.TableCards[position]);
    }
    if (controlId >= ids::controlSouth1 && controlId < ids::controlSouth1 + cardsPerHand) {
        const int position = controlId - ids::controlSouth1;
        return std::string("your ") + positions[position] + " card, " + cardName(game.hands[seatSouth][position]);
    }
    if (controlId == ids::controlStop)
        return "the Stop button";
    if (controlId == ids::controlPass)
        return "the Pass button";
    return "a card of another seat";
}

}  // namespace
}  // namespace account

using namespace account;

void tellTableNews(NewsTeller newsTeller)
{
    teller = newsTeller;
    const bool on = newsTeller != nullptr;
    gameWatcher.dealerChosen = on ? onDealerChosen : nullptr;
    gameWatcher.dealerDecided = on ? onDealerDecided : nullptr;
    gameWatcher.dealt = on ? onDealt : nullptr;
    gameWatcher.exchanged = on ? onExchanged : nullptr;
    gameWatcher.computerMoved = on ? onComputerMoved : nullptr;
    gameWatcher.humanMoved = on ? onHumanMoved : nullptr;
    gameWatcher.settling = on ? onSettling : nullptr;
}

std::string describeHand()
{
    if (!game.gameRunning || !isDeckCard(game.hands[seatSouth][0]))
        return "";
    return "Your cards: " + cardsInWords(game.hands[seatSouth], nullptr) + ".";
}

std::string describeTable(bool pausing)
{
    if (!game.gameRunning)
        return "No game is running. Press F2 or the New game button to start one.";
    // Selections and the frame are the human's to change only while the program waits.
    const bool humanToMove = game.currentSeat == seatSouth && !pausing;
    std::string text = "Your cards: " + cardsInWords(game.hands[seatSouth], humanToMove ? game.handSelected : nullptr);
    if (isDeckCard(game.TableCards[0]))
        text += ". The table: " + cardsInWords(game.TableCards, humanToMove ? game.tableSelected : nullptr);
    std::vector<std::string> lives;
    for (Seat seat = seatSouth; seat <= seatEast; ++seat) {
        const std::string name = seat == seatSouth ? "you" : seatName(seat);
        lives.push_back(game.lives[seat] > 0 ? name + " " + number(game.lives[seat]) : name + " out");
    }
    text += ". Lives: " + listOfNames(lives) + ". " + verb(game.dealerSeat, "deal", "deals") + ".";
    if (pausing) {
        if (game.currentSeat == seatSouth) {
            text += " The cards move.";
        } else {
            text += ' ';
            text += seatName(game.currentSeat);
            text += " is playing.";
        }
        return text;
    }
    const bool stop = isControlShown(ids::controlStop);
    const bool pass = isControlShown(ids::controlPass);
    if (humanToMove && (stop || pass)) {
        text += " Your turn: exchange a card with the table";
        if (pass)
            text += stop ? ", Pass (P)" : " or Pass (P)";
        if (stop)
            text += " or Stop (S)";
        text += ".";
    } else if (!humanToMove) {
        text += " ";
        text += seatName(game.currentSeat);
        text += " is to play.";
    }
    if (isFocusFrameShown() && focusedControl() != 0)
        text += " The frame is on " + controlInWords(focusedControl()) + ".";
    return text;
}

void tellHint(const std::string& line)
{
    tell(line, "{\"kind\":\"hint\"}");
}

void tellReview(const std::string& line)
{
    tell(line, "{\"kind\":\"review\"}");
}

std::string handValueInWords(HandValue value)
{
    return valueWords(value);
}
