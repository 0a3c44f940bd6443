// The player's record of play: for each table level and deal, the games won
// and lost, the current and best run of wins, and the games left unfinished.
// It is the player's own data, kept by the platform where the system keeps
// such things, never part of the game's state; a game that ends changes it
// at once, so a crash or a second copy of the program loses nothing.
#pragma once

#include "ai/TableLevel.h"
#include "model/Deck.h"
#include "platform/Platform.h"

#include <string>
#include <string_view>

struct PlayTally {
    long won = 0;
    long lost = 0;
    long unfinished = 0;  // left by New or Exit while it ran
    long run = 0;         // wins in a row, up to the last game finished
    long bestRun = 0;

    friend bool operator==(const PlayTally&, const PlayTally&) = default;
};

struct PlayRecord {
    PlayTally tally[2][2]{};  // by TableLevel, then DealKind

    PlayTally& of(TableLevel level, DealKind deal);
    const PlayTally& of(TableLevel level, DealKind deal) const;
    friend bool operator==(const PlayRecord&, const PlayRecord&) = default;
};

enum class GameEnd { won, lost, unfinished };
void addGameEnd(PlayRecord& record, TableLevel level, DealKind deal, GameEnd end);

// The stored form: a first line naming it, then a line for each level and
// deal that has a game, "classic described won 3 lost 5 unfinished 1 run 2 best 3".
[[nodiscard]] std::string playRecordText(const PlayRecord& record);
// False when `text` is not such a record (damaged, or of a later version);
// `record` is then fresh.
[[nodiscard]] bool readPlayRecord(std::string_view text, PlayRecord& record);
// The record in words, a paragraph for each level and deal played.
[[nodiscard]] std::string playRecordInWords(const PlayRecord& record);

// The name the platform keeps it under.
constexpr const char* playRecordName = "record";

// From now on every game that ends, won or lost, is added to the stored
// record, at the table's level and deal (which change only as a game starts).
void keepPlayRecord();
// New while a game runs: it counts as left unfinished.
void noteGameLeft();
// The program ends (Exit, the window closed, a box closed with it): a game
// still running counts as left, once however many ways the end is reported.
void noteProgramLeft();
// The record as stored now; fresh when there is none or it cannot be read.
[[nodiscard]] PlayRecord storedPlayRecord();
// The same, false with the reason when the place it is kept cannot be read.
bool readStoredRecord(PlayRecord& record, std::string& problem);

constexpr platform::Param playRecordKey = platform::keyF3;
// F3: the record in a box, with a reset that asks first.
void showPlayRecord(platform::Handle boardWindow);
