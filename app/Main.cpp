// The desktop program: the game on the SDL back end, the table's account beside it.
#include "app/AccountPanel.h"
#include "ai/TableLevel.h"
#include "app/CommandLine.h"
#include "app/PlayRecord.h"
#include "app/Program.h"
#include "app/Review.h"
#include "app/Sound.h"
#include "app/TableAccount.h"
#include "model/Deck.h"
#include "platform/Sdl.h"
#include "resources/ResourceIds.h"
#include "resources/Resources.h"

#include <cstdio>

namespace {

constexpr const char* usage =
    "Usage: zarta [--pace MS] [--computer classic|expert] [--deal described|shuffled] [--mute]"
    " [--help | --version]\n";

// The About box's line, so the two can never disagree.
const char* versionText()
{
    const resources::DialogTemplate* about = resources::findDialog(res::dialogAbout);
    for (int i = 0; about && i < about->itemCount; ++i)
        if (about->items[i].kind == resources::DialogItem::Kind::text)
            return about->items[i].text;
    return "Zarta";
}

}  // namespace

int main(int argc, char** argv)
{
    // --help, --version and bad arguments answer before the back end opens a
    // window, so they work without a display.
    const CommandLine line = parseCommandLine(argc, argv);
    switch (line.action) {
    case CommandLine::Action::version:
        std::printf("%s\n", versionText());
        return 0;
    case CommandLine::Action::help:
        std::printf("%s\n%s"
                    "A card game for one player against three computer seats.\n"
                    "Keys: F2 a new game, F1 the rules, W shows or hides What happened, H a hint,\n"
                    "  R a review of your costliest move of the last round,"
                    " M sound on or off (--mute: off this run),\n"
                    "  F3 your record of play (kept in $XDG_DATA_HOME/zarta/record, by default\n"
                    "  ~/.local/share/zarta/record; F3 resets it, or delete the file).\n"
                    "--pace MS (or --pace=MS): how long a pause unit lasts, %d to %d ms (default %d).\n"
                    "--computer classic|expert: the game's own computer seats (default) or the expert.\n"
                    "--deal described|shuffled: shuffles seeded with the clock's seconds (default) or a fresh seed a game.\n"
                    "Nothing else is taken: any other argument is refused with exit status 2.\n",
                    versionText(), usage, paceMinimum, paceMaximum, paceDefault);
        return 0;
    case CommandLine::Action::error:
        std::fprintf(stderr, "zarta: %s\n%s", line.error.c_str(), usage);
        return 2;
    case CommandLine::Action::play:
        break;
    }
    // The account beside the board; the window is sized to hold both.
    setTableLevel(line.computer);
    setDealKind(line.deal);
    keepPlayRecord();
    keepReview();
    platform::sdl::setSideTextSource(accountPanel);
    tellTableNews(noteAccountLine);
    // With no display there is nothing the game can do.
    if (!platform::sdl::install(line.paceMilliseconds))
        return 1;
    // After the account and the record, whose hooks it calls on to.
    startSound(line.mute);
    platform::exitProcess(programEntry());
    return 0;
}
