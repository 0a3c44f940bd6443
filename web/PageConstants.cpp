// Writes the page's copy of the program's own numbers, so the page never
// declares them again: the screen size, the kinds of input it queues, the
// "New" command, the kinds of place a player may tap, the modifiers, the
// key codes of the desktop program, the coach's and the review's keys and
// the names of the computer's levels, of the deals and of the cues, in the
// order of their numbers, and the sound's key.
// Run at build time; its output replaces the marker line in zarta-page.js.
// usage: zarta-page-constants OUT
#include "ai/TableLevel.h"
#include "app/Hint.h"
#include "app/Review.h"
#include "app/Sound.h"
#include "model/Deck.h"
#include "platform/CueSound.h"
#include "platform/Platform.h"
#include "platform/Web.h"
#include "resources/BoardIds.h"

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: zarta-page-constants OUT\n");
        return 2;
    }
    std::FILE* out = std::fopen(argv[1], "w");
    if (!out) {
        std::perror(argv[1]);
        return 1;
    }
    using platform::web::PageInput;
    std::fprintf(out, "const screenWidth = %d;\nconst screenHeight = %d;\n", platform::screenWidth,
                 platform::screenHeight);
    std::fprintf(out, "const inputTap = %d;\nconst inputKey = %d;\nconst inputCommand = %d;\n",
                 static_cast<int>(PageInput::tap), static_cast<int>(PageInput::key),
                 static_cast<int>(PageInput::command));
    std::fprintf(out, "const commandNew = %d;\nconst hintKey = %d;\nconst reviewKey = %d;\n", ids::commandNew, hintKey,
                 static_cast<int>(reviewKey));
    std::fprintf(out, "const computerLevels = [");
    for (TableLevel level : {TableLevel::classic, TableLevel::expert})
        std::fprintf(out, "%s'%s'", level == TableLevel::classic ? "" : ", ", tableLevelName(level));
    std::fprintf(out, "];\n");
    static_assert(static_cast<int>(TableLevel::classic) == 0 && static_cast<int>(TableLevel::expert) == 1);
    std::fprintf(out, "const dealKinds = ['%s', '%s'];\n", dealKindName(DealKind::described),
                 dealKindName(DealKind::shuffled));
    static_assert(static_cast<int>(DealKind::described) == 0 && static_cast<int>(DealKind::shuffled) == 1);
    std::fprintf(out, "const soundKey = %d;\nconst cueNames = [", static_cast<int>(soundKey));
    for (int cue = 0; cue < platform::cueCount; ++cue)
        std::fprintf(out, "%s'%s'", cue == 0 ? "" : ", ", platform::sound::cueName(static_cast<platform::Cue>(cue)));
    std::fprintf(out, "];\n");
    using platform::web::SpotKind;
    std::fprintf(out, "const spotKeys = {%d: 'controls', %d: 'boxButtons', %d: 'menuButton', %d: 'popupItems'};\n",
                 static_cast<int>(SpotKind::control), static_cast<int>(SpotKind::boxButton),
                 static_cast<int>(SpotKind::menuButton), static_cast<int>(SpotKind::popupItem));
    std::fprintf(out, "const modifierControl = %d;\nconst modifierShift = %d;\n",
                 static_cast<int>(platform::modifierControl), static_cast<int>(platform::modifierShift));
    // The browser's names of the keys the program reads beside the letters.
    const struct {
        const char* name;
        platform::Param code;
    } keys[] = {
        {"Tab", platform::keyTab},
        {"Enter", platform::keyEnter},
        {"Escape", platform::keyEscape},
        {"' '", platform::keySpace},
        {"ArrowLeft", platform::keyArrowLeft},
        {"ArrowUp", platform::keyArrowUp},
        {"ArrowRight", platform::keyArrowRight},
        {"ArrowDown", platform::keyArrowDown},
        {"F1", platform::keyF1},
        {"F2", platform::keyF2},
        {"F3", platform::keyF3},
    };
    std::fprintf(out, "const namedKeys = {");
    const char* separator = "";
    for (const auto& key : keys) {
        std::fprintf(out, "%s%s: %d", separator, key.name, static_cast<int>(key.code));
        separator = ", ";
    }
    std::fprintf(out, "};\n");
    const bool written = std::fflush(out) == 0 && !std::ferror(out);
    return std::fclose(out) == 0 && written ? 0 : 1;
}
