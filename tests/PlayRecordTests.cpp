// The player's record of play: its stored form, what a game adds to it, and
// F3's box with the reset that asks first.
#include "app/PlayRecord.h"
#include "model/GameEvents.h"
#include "platform/PlayerFiles.h"
#include "resources/BoardIds.h"
#include "tests/Harness.h"
#include "ui/Controls.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

using namespace testing_support;

TEST(PlayRecord, ReadsWhatItWritesAndRefusesWhatItCouldNotHaveWritten)
{
    PlayRecord record;
    for (GameEnd end : {GameEnd::won, GameEnd::won, GameEnd::lost, GameEnd::won, GameEnd::unfinished})
        addGameEnd(record, TableLevel::expert, DealKind::shuffled, end);
    addGameEnd(record, TableLevel::classic, DealKind::described, GameEnd::lost);
    EXPECT_EQ(record.of(TableLevel::expert, DealKind::shuffled), (PlayTally{3, 1, 1, 1, 2}));
    const std::string text = playRecordText(record);
    EXPECT_EQ(text, "zarta record 1\n"
                    "classic described won 0 lost 1 unfinished 0 run 0 best 0\n"
                    "expert shuffled won 3 lost 1 unfinished 1 run 1 best 2\n");
    PlayRecord read;
    ASSERT_TRUE(readPlayRecord(text, read));
    EXPECT_EQ(read, record);
    EXPECT_TRUE(readPlayRecord("zarta record 1\n", read));
    EXPECT_EQ(read, PlayRecord{});

    for (const char* damaged : {"", "garbage", "zarta record 2\n",
                                "zarta record 1\nclassic described won 1 lost 0 unfinished 0 run 1\n",
                                "zarta record 1\nclassic fair won 1 lost 0 unfinished 0 run 1 best 1\n",
                                "zarta record 1\nclassic described won -1 lost 0 unfinished 0 run 0 best 0\n",
                                "zarta record 1\nclassic described won 1 lost 0 unfinished 0 run 2 best 2\n",
                                "zarta record 1\nclassic described won 1 lost 0 unfinished 0 run 0 best 0 more\n",
                                "zarta record 1\nclassic described won 99999999999999999999 lost 0 unfinished 0 "
                                "run 0 best 0\n",
                                "zarta record 1\nexpert described won 1 lost 0 unfinished 0 run 1 best 1\n"
                                "expert described won 1 lost 0 unfinished 0 run 1 best 1\n"}) {
        read = record;
        EXPECT_FALSE(readPlayRecord(damaged, read)) << damaged;
        EXPECT_EQ(read, PlayRecord{}) << damaged;
    }
}

TEST(PlayRecord, SaysEachLevelAndDealPlayedWithItsShareWon)
{
    PlayRecord record;
    EXPECT_EQ(playRecordInWords(record), "No game finished yet.");
    record.of(TableLevel::classic, DealKind::shuffled) = {2, 1, 1, 0, 2};
    EXPECT_EQ(playRecordInWords(record), "Classic computer, shuffled deal: 3 games finished, 2 won (67%), 1 "
                                         "lost. Wins in a row: 0 now, best 2. Left unfinished: 1.");
}

namespace {

// Plays as a cautious player would (Stop when it may, else Pass) until the game ends.
void playToTheEnd(Harness& harness)
{
    for (int input = 0; input < 2000 && game.gameRunning; ++input)
        harness.tapControl(isControlShown(ids::controlStop) ? ids::controlStop : ids::controlPass);
    ASSERT_FALSE(game.gameRunning);
}

PlayRecord recordInMemory()
{
    PlayRecord record;
    const std::string* text = platform::headless::playerData(playRecordName);
    EXPECT_TRUE(text == nullptr || readPlayRecord(*text, record));
    return record;
}

}  // namespace

TEST(PlayRecord, AGameAddsItsEndAtOnceAndANewGameInMidGameCountsAsLeft)
{
    Harness harness(31);
    keepPlayRecord();
    harness.key(platform::keyF2);
    playToTheEnd(harness);
    const bool won = harness.boxes().back().text == "You Win...";
    EXPECT_EQ(recordInMemory().of(TableLevel::classic, DealKind::described),
              (PlayTally{won ? 1 : 0, won ? 0 : 1, 0, won ? 1 : 0, won ? 1 : 0}));

    harness.key(platform::keyF2);
    harness.chooseMenu(ids::commandNew);  // the first game left in mid-round
    EXPECT_EQ(recordInMemory().of(TableLevel::classic, DealKind::described).unfinished, 1);
    gameWatcher.gameOver = nullptr;
}

// However the program ends with a game running, that game is counted as left,
// once: the close path, Exit, and the window closed while a box waits (which
// ends the process from inside the box).
TEST(PlayRecord, AGameRunningWhenTheProgramEndsCountsAsLeftOnce)
{
    enum class Way { controlQ, exitCommand, closedInABox };
    for (Way way : {Way::controlQ, Way::exitCommand, Way::closedInABox}) {
        Harness harness(31);
        keepPlayRecord();
        harness.key(platform::keyF2);
        ASSERT_EQ(game.gameRunning, 1);
        switch (way) {
        case Way::controlQ:
            harness.key('Q', true);
            ASSERT_TRUE(harness.quit());
            platform::exitProcess(0);  // as the program's entry does once its loop ends
            break;
        case Way::exitCommand:
            harness.chooseMenu(ids::commandExit);
            break;
        case Way::closedInABox:
            platform::headless::setBoxAnswerer([](auto, auto, auto) { return 0; });
            platform::headless::setIdleHandler([] {
                if (platform::headless::boxOpen())
                    platform::headless::pushClose();
            });
            harness.key(playRecordKey);
            break;
        }
        EXPECT_TRUE(harness.exited()) << static_cast<int>(way);
        EXPECT_EQ(recordInMemory().of(TableLevel::classic, DealKind::described), (PlayTally{0, 0, 1, 0, 0}))
            << static_cast<int>(way);
        gameWatcher.gameOver = nullptr;
    }
}

TEST(PlayRecord, F3ShowsTheRecordAndResetsItOnlyWhenAskedTwice)
{
    Harness harness(7);
    keepPlayRecord();
    PlayRecord stored;
    stored.of(TableLevel::expert, DealKind::described) = {4, 2, 0, 1, 3};
    std::string problem;
    ASSERT_TRUE(platform::changePlayerData(
        playRecordName, [&](const std::string*) { return playRecordText(stored); }, problem));

    struct Case {
        std::vector<int> answers;
        bool reset;
    };
    for (const Case& each : {Case{{platform::answerNo}, false}, Case{{platform::answerYes, platform::answerNo}, false},
                             Case{{platform::answerYes, platform::answerYes}, true}}) {
        const std::size_t before = harness.boxes().size();
        harness.queueAnswers(each.answers);
        harness.key(platform::keyF3);
        ASSERT_EQ(harness.boxes().size(), before + each.answers.size());
        const BoxRecord& shown = harness.boxes()[before];
        EXPECT_EQ(shown.caption, "Your record of play");
        EXPECT_NE(shown.text.find("Expert computer, described deal: 6 games finished, 4 won (67%), 2 lost. "
                                  "Wins in a row: 1 now, best 3."),
                  std::string::npos)
            << shown.text;
        EXPECT_NE(shown.text.find("Kept in memory:record."), std::string::npos) << shown.text;
        EXPECT_EQ(recordInMemory() == PlayRecord{}, each.reset);
    }
    gameWatcher.gameOver = nullptr;
}

TEST(PlayerFiles, LiveWhereTheDesktopKeepsThePlayersDataOrNowhere)
{
    const auto folderWith = [](const char* xdg, const char* home) {
        xdg ? setenv("XDG_DATA_HOME", xdg, 1) : unsetenv("XDG_DATA_HOME");
        home ? setenv("HOME", home, 1) : unsetenv("HOME");
        std::string problem;
        std::string folder = platform::files::dataFolder(problem);
        return folder.empty() ? "none: " + problem : folder;
    };
    const char* xdg = std::getenv("XDG_DATA_HOME");
    const char* home = std::getenv("HOME");
    const std::string savedXdg = xdg ? xdg : "";
    const std::string savedHome = home ? home : "";
    EXPECT_EQ(folderWith("/data", "/home/p"), "/data/zarta");
    EXPECT_EQ(folderWith(nullptr, "/home/p"), "/home/p/.local/share/zarta");
    EXPECT_EQ(folderWith("relative", "/home/p"), "/home/p/.local/share/zarta");
    EXPECT_EQ(folderWith(nullptr, nullptr), "none: neither XDG_DATA_HOME nor HOME names a folder");
    EXPECT_EQ(folderWith("", ""), "none: neither XDG_DATA_HOME nor HOME names a folder");
    xdg ? setenv("XDG_DATA_HOME", savedXdg.c_str(), 1) : unsetenv("XDG_DATA_HOME");
    home ? setenv("HOME", savedHome.c_str(), 1) : unsetenv("HOME");
}

TEST(PlayerFiles, AChangeLandsWholeOverWhatWasThereAndLeavesNothingBehind)
{
    char folder[] = "/tmp/zarta-files-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    const std::string path = std::string(folder) + "/deeper/record";
    std::string problem;
    ASSERT_TRUE(platform::files::changeFile(path, [](const std::string* stored) {
        EXPECT_EQ(stored, nullptr);
        return std::string("one\n");
    }, problem)) << problem;
    // A write a crash left behind is no concern of the next change.
    std::ofstream(path + ".new-999999") << "half";
    ASSERT_TRUE(platform::files::changeFile(path, [](const std::string* stored) {
        EXPECT_TRUE(stored && *stored == "one\n");
        return *stored + "two\n";
    }, problem)) << problem;
    std::ifstream in(path);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text, "one\ntwo\n");
    // Leaving it as it is writes nothing, and a place that is no folder says so.
    EXPECT_TRUE(platform::files::changeFile(path, [](const std::string*) { return std::string(); }, problem));
    EXPECT_FALSE(platform::files::changeFile(path + "/below", [](const std::string*) { return std::string("x"); },
                                             problem));
    EXPECT_NE(problem.find("Not a directory"), std::string::npos) << problem;
    std::filesystem::remove_all(folder);
}
