// The desktop program: the game on the SDL back end.
#include "app/Program.h"
#include "platform/Sdl.h"
#include "resources/ResourceIds.h"
#include "resources/Resources.h"

#include <cstdio>
#include <cstring>

namespace {

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
    // The game takes no options. --help and --version answer before the back
    // end opens a window, so they work without a display; anything else is ignored.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("%s\n", versionText());
            return 0;
        }
        if (std::strcmp(argv[i], "--help") == 0) {
            std::printf("%s\n"
                        "Usage: zarta [--help | --version]\n"
                        "A card game for one player against three computer seats.\n"
                        "The game takes no options; other arguments are ignored.\n",
                        versionText());
            return 0;
        }
    }
    // With no display there is nothing the game can do.
    if (!platform::sdl::install())
        return 1;
    platform::exitProcess(programEntry());
    return 0;
}
