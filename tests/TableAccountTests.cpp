// The page's account of the table and its words for an open box, through the
// real game on the headless back end: what is told (the lives left as the
// panels show them), that nothing hidden is told, and the keys a box is told
// with.
#include "tests/BoardReading.h"

#include "app/TableAccount.h"
#include "model/CardCatalogue.h"
#include "platform/Backend.h"
#include "platform/TapReach.h"
#include "resources/BoardIds.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <set>

using namespace testing_support;

namespace {

std::vector<std::string> lines;
std::vector<std::string> events;
std::string unseenProblem;
std::set<std::string> seenBefore;  // open cards at the previous event
std::string orderProblem;
Seat lastMover = 0;  // in this round

int jsonSeat(const std::string& eventJson)
{
    const std::size_t at = eventJson.find("\"seat\":");
    return at == std::string::npos ? 0 : eventJson[at + 7] - '0';
}

// Moves are told in the order the seats play, none left out: the next seat
// still in the game after the last one told.
void checkOrder(const std::string& line, const std::string& eventJson)
{
    if (eventJson.find("\"kind\":\"dealt\"") != std::string::npos)
        lastMover = 0;
    const bool move = eventJson.find("\"kind\":\"exchange\"") != std::string::npos ||
                      eventJson.find("\"kind\":\"pass\"") != std::string::npos ||
                      eventJson.find("\"kind\":\"stop\"") != std::string::npos;
    if (!move)
        return;
    const Seat seat = jsonSeat(eventJson);
    if (lastMover != 0 && orderProblem.empty()) {
        Seat expected = lastMover;
        do
            expected = expected % seatCount + 1;
        while (game.lives[expected] <= 0 && expected != lastMover);
        if (seat != expected)
            orderProblem = "\"" + line + "\" follows seat " + std::to_string(lastMover);
    }
    lastMover = seat;
}

std::set<std::string> openCardNames()
{
    std::set<std::string> open;
    for (const CardRecord& card : game.TableCards)
        open.insert(cardName(card));
    for (const CardRecord& card : game.hands[seatSouth])
        open.insert(cardName(card));
    return open;
}

// Every card a line names lay open: on the table before or after the event,
// in the human's hand, or turned up for the dealer draw.
void record(const std::string& line, const std::string& eventJson)
{
    std::set<std::string> open = openCardNames();
    std::set<std::string> allowed = open;
    allowed.insert(seenBefore.begin(), seenBefore.end());
    if (eventJson.find("dealerDraw") != std::string::npos) {
        for (Seat seat = seatSouth; seat <= seatEast; ++seat)
            allowed.insert(cardName(game.hands[seat][1]));
    }
    // At the round's end every hand lies open, and each is told as it is.
    if (eventJson.find("\"kind\":\"shows\"") != std::string::npos) {
        const Seat seat = jsonSeat(eventJson);
        for (const CardRecord& card : game.hands[seat]) {
            allowed.insert(cardName(card));
            const std::string rank = cardName(card).substr(4, cardName(card).find(" of ") - 4);
            if (line.find(rank) == std::string::npos && unseenProblem.empty())
                unseenProblem = "\"" + line + "\" leaves out " + cardName(card);
        }
    }
    checkOrder(line, eventJson);
    for (const CardRecord& card : CardCatalogue) {
        const std::string name = cardName(card);
        if (line.find(name + " ") == std::string::npos && line.find(name + ".") == std::string::npos &&
            line.find(name + ",") == std::string::npos)
            continue;
        if (!allowed.contains(name) && unseenProblem.empty())
            unseenProblem = "\"" + line + "\" names " + name + ", which no player could see";
    }
    seenBefore = open;
    lines.push_back(line);
    events.push_back(eventJson);
}

void startRecording()
{
    lines.clear();
    events.clear();
    unseenProblem.clear();
    orderProblem.clear();
    lastMover = 0;
    seenBefore.clear();
    tellTableNews(record);
}

int countContaining(const std::string& part)
{
    int count = 0;
    for (const std::string& line : lines)
        count += line.find(part) != std::string::npos ? 1 : 0;
    return count;
}

// Every life lost that was told since `told` (lines already checked) names
// the lives the record holds and, while the game runs, the coins the seat's
// panel shows once the board waits again; "" when all agree.
std::string livesToldProblem(const Harness& harness, std::size_t& told)
{
    static const std::map<std::string, Seat> seats = {
        {"You", seatSouth}, {"West", seatWest}, {"North", seatNorth}, {"East", seatEast}};
    std::map<Seat, int> livesTold;  // the latest told for each seat
    for (; told < lines.size(); ++told) {
        const std::string& line = lines[told];
        // "West loses a life, 2 left." or "You lose your last life."
        for (const auto& [name, seat] : seats) {
            const std::string subject = name + " lose";
            for (std::size_t at = line.find(subject); at != std::string::npos; at = line.find(subject, at + 1)) {
                std::string rest = line.substr(at + subject.size());
                rest = rest.substr(rest.rfind("s ", 0) == 0 ? 2 : 1);
                if (rest.rfind("a life, ", 0) == 0 && rest.find(" left") != std::string::npos)
                    livesTold[seat] = std::stoi(rest.substr(8));
                else if (rest.rfind("its last life", 0) == 0 || rest.rfind("your last life", 0) == 0)
                    livesTold[seat] = 0;
            }
        }
    }
    for (const auto& [seat, lives] : livesTold) {
        const std::string where = "seat " + std::to_string(seat) + " told " + std::to_string(lives) + " lives, ";
        if (game.lives[seat] != lives)
            return where + "the record holds " + std::to_string(game.lives[seat]);
        // After the game's last round the board keeps the lives it showed under the box.
        const int coins = coinsOn(readArea(harness, LivesSpots[seat]));
        if (game.gameRunning && coins != lives)
            return where + "the panel shows " + std::to_string(coins);
    }
    return "";
}

}  // namespace

TEST(TableAccount, NamesCardsInWords)
{
    EXPECT_EQ(cardName(CardCatalogue[0]), "the ace of clubs");
    EXPECT_EQ(cardName(CardCatalogue[31]), "the king of spades");
    EXPECT_EQ(cardName(uprightBack()), "a hidden card");
}

TEST(TableAccount, WholeGamesTellEveryRoundTheLivesLeftAndNeverAHiddenCard)
{
    for (unsigned seed = 1; seed <= 6; ++seed) {
        Harness harness(static_cast<int>(seed * 7 % 60));
        startRecording();
        std::mt19937 random(seed);
        std::string lastBox;
        int rounds = 0;
        platform::headless::setBoxAnswerer([&](std::string_view text, std::string_view, platform::BoxButtons buttons) {
            lastBox = text;
            if (buttons == platform::BoxButtons::yesNo)
                return random() % 2 ? platform::answerYes : platform::answerNo;
            return platform::answerOk;
        });
        harness.command(ids::commandNew);
        std::size_t livesChecked = 0;
        std::string livesProblem;
        for (int input = 0; game.gameRunning && input < 5000; ++input) {
            const int pick = static_cast<int>(random() % 10);
            if (pick < 6)
                harness.tapControl(ids::controlTable1 + static_cast<int>(random() % 6));
            else
                harness.tapControl(pick < 8 ? ids::controlPass : ids::controlStop);
            if (livesProblem.empty())
                livesProblem = livesToldProblem(harness, livesChecked);
        }
        for (const std::string& event : events)
            rounds += event.find("\"kind\":\"dealt\"") != std::string::npos ? 1 : 0;
        tellTableNews(nullptr);
        ASSERT_FALSE(game.gameRunning) << "seed " << seed;
        EXPECT_EQ(unseenProblem, "") << "seed " << seed;
        EXPECT_EQ(orderProblem, "") << "seed " << seed;
        // Two seats at least are in the game at each round's end, each hand shown.
        EXPECT_GE(countContaining(" shows ") + countContaining("You show "), 2 * countContaining("Round over: "));
        EXPECT_EQ(livesProblem, "") << "seed " << seed;
        EXPECT_GT(countContaining(" a life, "), 0) << "seed " << seed;
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines.front().rfind("New game. The dealer draw: you the ", 0), 0u) << lines.front();
        // Each deal is told, and each round ends in values or a new deal.
        EXPECT_EQ(countContaining("Round over: ") + countContaining("dealt again"), rounds) << "seed " << seed;
        EXPECT_EQ(countContaining(" deals and ") + countContaining("You deal and "), rounds) << "seed " << seed;
        const std::string ending = lastBox == "You Win..." ? "You win the game!" : "You lose the game.";
        EXPECT_NE(lines.back().find(ending), std::string::npos) << lines.back();
        EXPECT_EQ(countContaining("You win the game!") + countContaining("You lose the game."), 1);
    }
}

TEST(TableAccount, TheHumansExchangeNamesTheCardTakenAndTheCardLeft)
{
    Harness harness(17);
    harness.queueAnswers({platform::answerYes});
    harness.command(ids::commandNew);
    ASSERT_EQ(game.currentSeat, seatSouth);
    const std::string taken = cardName(game.TableCards[1]);
    const std::string left = cardName(game.hands[seatSouth][0]);
    startRecording();
    harness.tapControl(ids::controlSouth1);
    harness.tapControl(ids::controlTable1 + 1);
    tellTableNews(nullptr);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front().rfind("You take " + taken + " and leave " + left + ".", 0), 0u) << lines.front();
    EXPECT_NE(events.front().find("\"seat\":1"), std::string::npos) << events.front();
}

TEST(TableAccount, TheBoardInWordsTellsTheTurnAndTheFrame)
{
    Harness harness(17);
    EXPECT_EQ(describeTable().rfind("No game is running.", 0), 0u);
    harness.queueAnswers({platform::answerYes});
    harness.command(ids::commandNew);
    ASSERT_EQ(game.currentSeat, seatSouth);
    ASSERT_FALSE(game.firstTurnOfRound);
    std::string text = describeTable();
    EXPECT_NE(text.find("Your cards: " + cardName(game.hands[seatSouth][0])), std::string::npos) << text;
    EXPECT_NE(text.find("Your turn: exchange a card with the table, Pass (P) or Stop (S)."), std::string::npos) << text;
    harness.key(platform::keyTab);
    text = describeTable();
    EXPECT_NE(text.find("The frame is on "), std::string::npos) << text;
}

TEST(TableAccount, AnOpenBoxIsToldWithTheKeysThatAnswerItAndNoOthers)
{
    Harness harness(0);
    const struct {
        platform::BoxButtons buttons;
        std::string named;
        std::vector<std::string> unnamed;
    } cases[] = {
        {platform::BoxButtons::yesNo, "Y answers yes, N answers no.", {"closes it"}},
        {platform::BoxButtons::ok, "Enter closes it.", {"Y answers", "N answers", "yes", "no."}},
    };
    for (const auto& c : cases) {
        std::string words;
        platform::headless::setBoxAnswerer(nullptr);
        platform::headless::setIdleHandler([&] { words = platform::backend::boxInWords(); });
        platform::messageBox(harness.boardWindow(), "Keep this cards?", "Player choice:", c.buttons);
        platform::headless::setIdleHandler(nullptr);
        EXPECT_NE(words.find("\"Player choice:\""), std::string::npos) << words;
        EXPECT_NE(words.find("Keep this cards?"), std::string::npos) << words;
        EXPECT_NE(words.find(c.named), std::string::npos) << words;
        for (const std::string& other : c.unnamed)
            EXPECT_EQ(words.find(other), std::string::npos) << words;
        EXPECT_EQ(platform::backend::boxInWords(), "");
    }
}
