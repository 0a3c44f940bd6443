// The desktop program's command line: --pace and its bounds, --mute, --help,
// --version, and nothing else.
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
        EXPECT_FALSE(line.error.empty()) << "'" << bad << "'";
    }
    EXPECT_EQ(parse({"--pace"}).action, CommandLine::Action::error);
    EXPECT_EQ(parse({"--pace="}).action, CommandLine::Action::error);
}

TEST(CommandLine, TheDealAndTheComputerTakeTheirNamesEitherWayAndNothingElse)
{
    EXPECT_EQ(parse({}).deal, DealKind::described);
    EXPECT_EQ(parse({"--deal", "shuffled"}).deal, DealKind::shuffled);
    EXPECT_EQ(parse({"--deal=shuffled", "--computer=expert"}).computer, TableLevel::expert);
    EXPECT_EQ(parse({"--computer", "expert", "--deal=described"}).deal, DealKind::described);
    for (const auto& arguments : {std::initializer_list<const char*>{"--deal"}, {"--deal", "fair"}, {"--deal="},
                                  {"--computer", "--deal", "shuffled"}}) {
        const CommandLine line = parse(arguments);
        EXPECT_EQ(line.action, CommandLine::Action::error);
        EXPECT_NE(line.error.find("takes"), std::string::npos) << line.error;
    }
    EXPECT_EQ(parse({"--dealer"}).error, "unknown option '--dealer'");
}

TEST(CommandLine, MuteSilencesTheRunAndTakesNoValue)
{
    EXPECT_FALSE(parse({}).mute);
    EXPECT_TRUE(parse({"--mute"}).mute);
    EXPECT_TRUE(parse({"--deal", "shuffled", "--mute", "--pace=20"}).mute);
    EXPECT_EQ(parse({"--mute", "--pace=20"}).paceMilliseconds, 20);
    for (const char* bad : {"--mute=yes", "--mute="}) {
        const CommandLine line = parse({bad});
        EXPECT_EQ(line.action, CommandLine::Action::error) << bad;
        EXPECT_EQ(line.error, "--mute takes no value") << bad;
    }
    EXPECT_EQ(parse({"--muted"}).error, "unknown option '--muted'");
    EXPECT_EQ(parse({"--mute", "off"}).error, "unexpected argument 'off'");
}

TEST(CommandLine, HelpAndVersionAnswerWhereverTheyStand)
{
    EXPECT_EQ(parse({"--pace", "5", "--help"}).action, CommandLine::Action::help);
    EXPECT_EQ(parse({"-x", "unknown", "--version"}).action, CommandLine::Action::version);
}

TEST(CommandLine, UnknownOptionsAndStrayArgumentsAreRefusedByName)
{
    struct Case {
        std::initializer_list<const char*> arguments;
        const char* named;
    };
    for (const Case& each :
         {Case{{"--bogus"}, "unknown option '--bogus'"}, Case{{"garbage"}, "unexpected argument 'garbage'"},
          Case{{"--pase", "10"}, "unknown option '--pase'"},
          Case{{"--pace", "60", "more"}, "unexpected argument 'more'"}, Case{{"-"}, "unknown option '-'"},
          Case{{""}, "unexpected argument ''"}}) {
        const CommandLine line = parse(each.arguments);
        EXPECT_EQ(line.action, CommandLine::Action::error) << each.named;
        EXPECT_EQ(line.error, each.named);
    }
}
