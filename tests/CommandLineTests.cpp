// The desktop program's command line: --pace and its bounds, --help, --version.
#include "app/CommandLine.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

namespace {

CommandLine parse(std::initializer_list<const char*> arguments)
{
    std::vector<const char*> argv = {"zarta"};
    argv.insert(argv.end(), arguments);
    return parseCommandLine(static_cast<int>(argv.size()), argv.data());
}

}  // namespace

TEST(CommandLine, PaceIsFortyMillisecondsUnlessChosen)
{
    EXPECT_EQ(parse({}).action, CommandLine::Action::play);
    EXPECT_EQ(parse({}).paceMilliseconds, 40);
    EXPECT_EQ(parse({"--pace", "25"}).paceMilliseconds, 25);
    EXPECT_EQ(parse({"--pace=120"}).paceMilliseconds, 120);
}

TEST(CommandLine, PaceTakesTenToTwoHundredAndNothingElse)
{
    EXPECT_EQ(parse({"--pace", "10"}).paceMilliseconds, 10);
    EXPECT_EQ(parse({"--pace", "200"}).paceMilliseconds, 200);
    for (const char* bad : {"9", "201", "0", "-40", "40ms", "4e1", "", " 40", "99999999999999999999"}) {
        const CommandLine line = parse({"--pace", bad});
        EXPECT_EQ(line.action, CommandLine::Action::error) << "'" << bad << "'";
        ASSERT_NE(line.error, nullptr) << "'" << bad << "'";
    }
    EXPECT_EQ(parse({"--pace"}).action, CommandLine::Action::error);
    EXPECT_EQ(parse({"--pace="}).action, CommandLine::Action::error);
}

TEST(CommandLine, HelpAndVersionAnswerWhereverTheyStandAndOtherArgumentsAreIgnored)
{
    EXPECT_EQ(parse({"--pace", "5", "--help"}).action, CommandLine::Action::help);
    EXPECT_EQ(parse({"-x", "unknown", "--version"}).action, CommandLine::Action::version);
    EXPECT_EQ(parse({"-x", "unknown"}).action, CommandLine::Action::play);
    EXPECT_EQ(parse({"unknown", "--pace", "60", "more"}).paceMilliseconds, 60);
}
