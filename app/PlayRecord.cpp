#include "app/PlayRecord.h"

#include "model/GameEvents.h"
#include "model/GameState.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <utility>

namespace {

constexpr const char* firstLine = "zarta record 1";

bool kept = false;
bool programLeft = false;
// Said once a run: a record that cannot be kept is no reason to stop playing.
bool problemSaid = false;

int levelIndex(TableLevel level)
{
    return level == TableLevel::expert ? 1 : 0;
}

int dealIndex(DealKind deal)
{
    return deal == DealKind::shuffled ? 1 : 0;
}

constexpr TableLevel levels[] = {TableLevel::classic, TableLevel::expert};
constexpr DealKind deals[] = {DealKind::described, DealKind::shuffled};

std::string number(long value)
{
    char digits[24];
    return {digits, std::to_chars(digits, digits + sizeof digits, value).ptr};
}

bool played(const PlayTally& tally)
{
    return tally.won + tally.lost + tally.unfinished > 0;
}

void sayProblem(const std::string& problem)
{
    if (problemSaid)
        return;
    problemSaid = true;
    // No printf: the page's program carries none.
    std::fputs(("zarta: " + problem + "\n").c_str(), stderr);
}

void sayNotKept(const std::string& problem)
{
    sayProblem("your record of play is not kept: " + problem);
}

std::string unreadable()
{
    return "your record of play in " + platform::playerDataPlace(playRecordName) + " could not be read";
}

// The stored record with `end` added, whatever the other copies added since.
// The level and deal change only as a game starts: they are the game's.
void storeGameEnd(GameEnd end)
{
    std::string problem;
    std::string damaged;
    const bool stored = platform::changePlayerData(
        playRecordName,
        [end, &damaged](const std::string* text) {
            PlayRecord record;
            if (text && !readPlayRecord(*text, record))
                damaged = *text;
            addGameEnd(record, tableLevel(), dealKind(), end);
            return playRecordText(record);
        },
        problem);
    if (!stored) {
        sayNotKept(problem);
        return;
    }
    if (damaged.empty())
        return;
    // What could not be read is kept aside for whoever wants to look at it.
    const std::string aside = std::string(playRecordName) + ".damaged";
    std::string asideProblem;
    platform::changePlayerData(aside.c_str(), [&damaged](const std::string*) { return damaged; }, asideProblem);
    sayProblem(unreadable() + ", so it starts afresh (the old one is kept as " +
               platform::playerDataPlace(aside.c_str()) + ")");
}

void onGameOver(bool won)
{
    storeGameEnd(won ? GameEnd::won : GameEnd::lost);
}

}  // namespace

PlayTally& PlayRecord::of(TableLevel level, DealKind deal)
{
    return tally[levelIndex(level)][dealIndex(deal)];
}

const PlayTally& PlayRecord::of(TableLevel level, DealKind deal) const
{
    return tally[levelIndex(level)][dealIndex(deal)];
}

void addGameEnd(PlayRecord& record, TableLevel level, DealKind deal, GameEnd end)
{
    PlayTally& tally = record.of(level, deal);
    switch (end) {
    case GameEnd::won:
        ++tally.won;
        ++tally.run;
        tally.bestRun = std::max(tally.bestRun, tally.run);
        break;
    case GameEnd::lost:
        ++tally.lost;
        tally.run = 0;
        break;
    case GameEnd::unfinished:
        ++tally.unfinished;
        break;
    }
}

std::string playRecordText(const PlayRecord& record)
{
    std::string text = std::string(firstLine) + "\n";
    for (TableLevel level : levels) {
        for (DealKind deal : deals) {
            const PlayTally& t = record.of(level, deal);
            if (!played(t))
                continue;
            text += std::string(tableLevelName(level)) + " " + dealKindName(deal) + " won " + number(t.won) +
                    " lost " + number(t.lost) + " unfinished " + number(t.unfinished) + " run " + number(t.run) +
                    " best " + number(t.bestRun) + "\n";
        }
    }
    return text;
}

namespace {

// The next word of `text`, split at spaces; empty at the end.
std::string_view nextWord(std::string_view& text)
{
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    const std::size_t end = std::min(text.find(' '), text.size());
    const std::string_view word = text.substr(0, end);
    text.remove_prefix(end);
    return word;
}

// "won 3": the name, then a count no larger than a long holds.
bool readCount(std::string_view& line, std::string_view name, long& count)
{
    if (nextWord(line) != name)
        return false;
    const std::string_view digits = nextWord(line);
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), count);
    return !digits.empty() && error == std::errc{} && end == digits.data() + digits.size() && count >= 0;
}

bool readTallyLine(std::string_view line, PlayRecord& record, bool (&seen)[2][2])
{
    const auto level = tableLevelNamed(nextWord(line));
    const auto deal = dealKindNamed(nextWord(line));
    PlayTally t;
    if (!level || !deal || !readCount(line, "won", t.won) || !readCount(line, "lost", t.lost) ||
        !readCount(line, "unfinished", t.unfinished) || !readCount(line, "run", t.run) ||
        !readCount(line, "best", t.bestRun) || !nextWord(line).empty())
        return false;
    // A run longer than the best, or a best longer than the wins, is no record this program wrote.
    bool& before = seen[levelIndex(*level)][dealIndex(*deal)];
    if (t.run > t.bestRun || t.bestRun > t.won || before)
        return false;
    before = true;
    record.of(*level, *deal) = t;
    return true;
}

}  // namespace

bool readPlayRecord(std::string_view text, PlayRecord& record)
{
    record = PlayRecord{};
    PlayRecord read;
    bool seen[2][2] = {};
    bool first = true;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        if (first ? line != firstLine : !line.empty() && !readTallyLine(line, read, seen))
            return false;
        first = false;
    }
    if (first)
        return false;
    record = read;
    return true;
}

std::string playRecordInWords(const PlayRecord& record)
{
    std::string text;
    for (TableLevel level : levels) {
        for (DealKind deal : deals) {
            const PlayTally& t = record.of(level, deal);
            if (!played(t))
                continue;
            const long finished = t.won + t.lost;
            if (!text.empty())
                text += "\n\n";
            text += std::string(level == TableLevel::expert ? "Expert" : "Classic") + " computer, " +
                    dealKindName(deal) + " deal: ";
            text += number(finished) + (finished == 1 ? " game" : " games") + " finished, " + number(t.won) +
                    " won";
            if (finished > 0)
                text += " (" + number((t.won * 100 + finished / 2) / finished) + "%)";
            text += ", " + number(t.lost) + " lost. Wins in a row: " + number(t.run) + " now, best " +
                    number(t.bestRun) + ".";
            if (t.unfinished > 0)
                text += " Left unfinished: " + number(t.unfinished) + ".";
        }
    }
    return text.empty() ? "No game finished yet." : text;
}

void keepPlayRecord()
{
    kept = true;
    programLeft = false;
    gameWatcher.gameOver = onGameOver;
    // The window closed while a box waits ends the process without the close path.
    platform::setLeavingHandler(noteProgramLeft);
}

void noteGameLeft()
{
    if (kept && game.gameRunning)
        storeGameEnd(GameEnd::unfinished);
}

void noteProgramLeft()
{
    // The close path and the end of the process both report it; the game is left once.
    if (!std::exchange(programLeft, true))
        noteGameLeft();
}

PlayRecord storedPlayRecord()
{
    PlayRecord record;
    std::string problem;
    readStoredRecord(record, problem);
    return record;
}

bool readStoredRecord(PlayRecord& record, std::string& problem)
{
    record = PlayRecord{};
    bool damaged = false;
    const bool read = platform::changePlayerData(
        playRecordName,
        [&record, &damaged](const std::string* text) {
            damaged = text && !readPlayRecord(*text, record);
            // Read only: what is there stays as it is, and nothing stays nothing.
            return text ? *text : std::string();
        },
        problem);
    if (!read)
        sayNotKept(problem);
    else if (damaged)
        sayProblem(unreadable() + "; the next game that ends starts it afresh");
    return read;
}

void showPlayRecord(platform::Handle boardWindow)
{
    PlayRecord record;
    std::string problem;
    if (!readStoredRecord(record, problem)) {
        const std::string text = "Your record of play is not kept: " + problem + ".";
        platform::messageBox(boardWindow, text.c_str(), "Your record of play", platform::BoxButtons::ok);
        return;
    }
    const std::string place = platform::playerDataPlace(playRecordName);
    std::string text = playRecordInWords(record);
    if (!place.empty())
        text += "\n\nKept in " + place + ".";
    text += "\n\nReset it to nothing?";
    if (platform::messageBox(boardWindow, text.c_str(), "Your record of play", platform::BoxButtons::yesNo) !=
        platform::answerYes)
        return;
    if (platform::messageBox(boardWindow, "Every count starts again from nothing, and the old ones cannot be "
                                          "brought back. Reset your record of play?",
                             "Reset the record", platform::BoxButtons::yesNo) != platform::answerYes)
        return;
    if (!platform::changePlayerData(
            playRecordName, [](const std::string*) { return playRecordText(PlayRecord{}); }, problem))
        sayNotKept(problem);
}
