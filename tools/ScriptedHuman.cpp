// The scripted human: parsing a strategy, queuing an input, choosing the next one.
#include "tools/ScriptedHuman.h"

#include "ai/Coach.h"
#include "app/Hint.h"
#include "app/Shell.h"
#include "app/TableAccount.h"
#include "model/GameState.h"
#include "model/HandEvaluation.h"
#include "platform/Headless.h"
#include "resources/BoardIds.h"
#include "model/CardNames.h"
#include "ui/Controls.h"

namespace sim {

namespace {

constexpr HandValue greedyStopValue = 27.0;
constexpr HandValue greedyKeepValue = 15.0;

HandValue valueOf(const CardRecord (&hand)[3])
{
    return valueOfThree(hand[0], hand[1], hand[2]);
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
    else if (name == "hint")
        strategy = Strategy::hint;
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
    case Strategy::hint:
        return "hint";
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
    case Strategy::hint:
        return hintInput();
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
    case Strategy::hint: {
        // Told as H would tell it, so an account shows what the coach said.
        const KeepAdvice advice = humanAdvisedToKeep();
        tellHint(keepHintLine(advice, humanView()));
        return advice.keep ? platform::answerYes : platform::answerNo;
    }
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
    if (isControlShown(ids::controlStop))
        choices[count++] = ids::controlStop;
    if (isControlShown(ids::controlPass))
        choices[count++] = ids::controlPass;
    return tapControl(choices[below(static_cast<std::uint64_t>(count))]);
}

HumanInput ScriptedHuman::passiveInput()
{
    const bool impatient = inputsThisRound > patience;
    if (isControlShown(ids::controlStop) && (impatient || !isControlShown(ids::controlPass)))
        return tapControl(ids::controlStop);
    if (isControlShown(ids::controlPass))
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

bool ScriptedHuman::goOnWithPlan(HumanInput& input)
{
    if (plannedNext < plannedCount) {
        input = tapControl(plannedTaps[plannedNext++]);
        return true;
    }
    plannedCount = plannedNext = 0;
    // A selection left from elsewhere would spoil the plan.
    for (int position = 0; position < 3; ++position) {
        if (game.handSelected[position] || game.tableSelected[position]) {
            input = tapControl((game.handSelected[position] ? ids::controlSouth1 : ids::controlTable1) + position);
            return true;
        }
    }
    return false;
}

HumanInput ScriptedHuman::greedyInput()
{
    if (HumanInput input{}; goOnWithPlan(input))
        return input;
    const bool stopAvailable = isControlShown(ids::controlStop);
    const bool satisfied = valueOf(game.hands[seatSouth]) >= greedyStopValue || inputsThisRound > patience;
    if (stopAvailable && satisfied)
        return tapControl(ids::controlStop);
    if (planBestExchange())
        return tapControl(plannedTaps[plannedNext++]);
    if (isControlShown(ids::controlPass))
        return tapControl(ids::controlPass);
    if (stopAvailable)
        return tapControl(ids::controlStop);
    return tapControl(ids::controlSouth1);
}

void ScriptedHuman::planTaps(std::initializer_list<int> taps)
{
    plannedCount = plannedNext = 0;
    for (const int tap : taps)
        plannedTaps[plannedCount++] = tap;
}

HumanInput ScriptedHuman::hintInput()
{
    if (HumanInput input{}; goOnWithPlan(input))
        return input;
    // No patience of its own: the coach sees a round going in circles and says Stop.
    const ExpertAdvice advised = humanAdvisedMove();
    tellHint(hintLine(advised, humanView()));
    const PlannedMove& advice = advised.best.planned;
    switch (advice.move) {
    case Move::exchangeOne:
        planTaps({ids::controlSouth1 + advice.handCard, ids::controlTable1 + advice.tableCard});
        break;
    case Move::exchangeAll:
        planTaps({ids::controlTable1, ids::controlTable1 + 1, ids::controlTable1 + 2});
        break;
    case Move::stop:
        planTaps({ids::controlStop});
        break;
    default:
        planTaps({isControlShown(ids::controlPass) ? ids::controlPass : ids::controlStop});
        break;
    }
    return tapControl(plannedTaps[plannedNext++]);
}

}  // namespace sim
