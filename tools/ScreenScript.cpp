// zarta-screens SCRIPT OUT
//
// Plays a script of taps and keys on the headless back end and writes the
// device screen each time the program waits for input: frame 0 after
// start-up, frame n after the nth input, each 240 x 320 pixels of red, green
// and blue bytes. The browser test plays the same script on the page and
// compares its canvas with these frames, so both back ends show the same
// pixels for the same input.
//
// Script lines ('#' starts a comment):
//   seconds N        the clock's seconds, 0..59, for every shuffle
//   tap X Y          a tap at screen pixel (X, Y)
//   key CODE [ctrl]  a key by its code (13 Enter, 27 Escape, 65..90 letters)
#include "app/Program.h"
#include "platform/Headless.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Step {
    bool isTap;
    int a;  // x, or the key code
    int b;  // y, or 1 with Ctrl
};

struct Script {
    int seconds = 0;
    std::vector<Step> steps;
};

bool parseScript(const char* path, Script& script)
{
    std::ifstream in(path);
    if (!in) {
        std::fprintf(stderr, "zarta-screens: cannot read %s\n", path);
        return false;
    }
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        line = line.substr(0, line.find('#'));
        std::istringstream words(line);
        std::string word;
        if (!(words >> word))
            continue;
        bool good = false;
        if (word == "seconds") {
            good = static_cast<bool>(words >> script.seconds) && script.seconds >= 0 && script.seconds < 60;
        } else if (word == "tap") {
            Step step{true, 0, 0};
            good = static_cast<bool>(words >> step.a >> step.b);
            script.steps.push_back(step);
        } else if (word == "key") {
            Step step{false, 0, 0};
            std::string modifier;
            good = static_cast<bool>(words >> step.a);
            if (words >> modifier) {
                good = good && modifier == "ctrl";
                step.b = 1;
            }
            script.steps.push_back(step);
        }
        std::string extra;
        if (!good || (words >> extra)) {
            std::fprintf(stderr, "zarta-screens: %s:%d: cannot read \"%s\"\n", path, number, line.c_str());
            return false;
        }
    }
    return true;
}

void appendFrame(std::vector<unsigned char>& frames)
{
    for (int y = 0; y < platform::screenHeight; ++y)
        for (int x = 0; x < platform::screenWidth; ++x) {
            std::uint32_t pixel = platform::headless::pixel(x, y);
            frames.push_back(static_cast<unsigned char>(pixel >> 16));
            frames.push_back(static_cast<unsigned char>(pixel >> 8));
            frames.push_back(static_cast<unsigned char>(pixel));
        }
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: zarta-screens SCRIPT OUT\n");
        return 2;
    }
    Script script;
    if (!parseScript(argv[1], script))
        return 2;

    platform::headless::install();
    platform::headless::pinSeconds(script.seconds);
    std::vector<unsigned char> frames;
    std::size_t next = 0;
    bool finished = false;
    // Once the script has run out, the program takes its defaults and ends; those waits are not frames.
    platform::headless::setIdleHandler([&] {
        if (finished)
            return;
        appendFrame(frames);
        if (next == script.steps.size()) {
            finished = true;
            return;
        }
        const Step& step = script.steps[next++];
        if (step.isTap)
            platform::headless::pushTap(step.a, step.b);
        else
            platform::headless::pushKey(step.a, step.b != 0);
    });
    programEntry();

    std::FILE* out = std::fopen(argv[2], "wb");
    if (!out || std::fwrite(frames.data(), 1, frames.size(), out) != frames.size() || std::fclose(out) != 0) {
        std::fprintf(stderr, "zarta-screens: cannot write %s\n", argv[2]);
        return 1;
    }
    std::printf("zarta-screens: %zu frames for %zu inputs\n",
                frames.size() / (3u * platform::screenWidth * platform::screenHeight), script.steps.size());
    if (!finished) {
        std::fprintf(stderr, "zarta-screens: the program ended after %zu of %zu inputs\n", next, script.steps.size());
        return 1;
    }
    return 0;
}
