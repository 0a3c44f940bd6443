// The desktop back end's pure steps, on plain memory with no display: the
// frame painter and the input translator's key codes.
#include "platform/FramePainter.h"
#include "platform/PixelFont.h"
#include "platform/SdlInput.h"
#include "platform/SidePanel.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

using namespace platform;
using namespace platform::sdl;

namespace {

constexpr std::uint32_t black = 0xFF000000u;

// A window of width x height 32-bit pixels, every one `fill`.
struct Window {
    int width;
    int height;
    std::vector<std::uint32_t> pixels;

    Window(int w, int h, std::uint32_t fill) : width(w), height(h), pixels(static_cast<std::size_t>(w * h), fill) {}
    PixelTarget target() { return {reinterpret_cast<std::uint8_t*>(pixels.data()), width * 4, width, height, 4}; }
    std::uint32_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y * width + x)]; }
};

// Colour n for index n, so every pixel names the index it shows.
std::vector<std::uint32_t> identityColours()
{
    std::vector<std::uint32_t> colours(256);
    for (std::uint32_t i = 0; i < 256; ++i)
        colours[i] = 0x00100000u | i;
    return colours;
}

std::vector<std::uint8_t> patternFrame()
{
    std::vector<std::uint8_t> frame(screenWidth * screenHeight);
    for (int y = 0; y < screenHeight; ++y) {
        for (int x = 0; x < screenWidth; ++x)
            frame[static_cast<std::size_t>(y * screenWidth + x)] = static_cast<std::uint8_t>((x * 7 + y * 13) % 251);
    }
    return frame;
}

}  // namespace

TEST(FramePainter, FitsTheLargestWholeFactorCentred)
{
    const Fit three = fitScreen(800, 1000);
    EXPECT_EQ(three.factor, 3);
    EXPECT_EQ(three.left, (800 - 720) / 2);
    EXPECT_EQ(three.top, (1000 - 960) / 2);
    const Fit small = fitScreen(100, 100);  // smaller than the screen: factor 1, its middle shows
    EXPECT_EQ(small.factor, 1);
    EXPECT_EQ(small.left, (100 - 240) / 2);
}

TEST(FramePainter, EveryIndexBecomesASquareAndTheBarsTurnBlack)
{
    for (const int factor : {1, 2, 3, 4}) {
        Window window(screenWidth * factor + 10, screenHeight * factor + 7, 0xDEADBEEF);
        const Fit fit = fitScreen(window.width, window.height);
        ASSERT_EQ(fit.factor, factor);
        const auto colours = identityColours();
        const auto frame = patternFrame();
        std::vector<std::uint8_t> line;
        fillBars(window.target(), fit, black);
        paintRows(window.target(), fit, frame.data(), colours.data(), 0, screenHeight, nullptr, line);
        for (int y = 0; y < window.height; ++y) {
            for (int x = 0; x < window.width; ++x) {
                const int column = x - fit.left;
                const int row = y - fit.top;
                const bool inside =
                    column >= 0 && row >= 0 && column < screenWidth * factor && row < screenHeight * factor;
                const std::uint32_t expected =
                    inside ? colours[frame[static_cast<std::size_t>(row / factor * screenWidth + column / factor)]]
                           : black;
                ASSERT_EQ(window.at(x, y), expected) << "factor " << factor << " at " << x << "," << y;
            }
        }
    }
}

TEST(FramePainter, OnlyTheChangedSpansOfTheGivenRowsAreDrawnAgain)
{
    Window window(screenWidth * 2, screenHeight * 2, 0);
    const Fit fit = fitScreen(window.width, window.height);
    const auto colours = identityColours();
    const auto shown = patternFrame();
    std::vector<std::uint8_t> line;
    paintRows(window.target(), fit, shown.data(), colours.data(), 0, screenHeight, nullptr, line);

    auto next = shown;
    next[10 * screenWidth + 30] = 250;  // row 10, columns 30 and 41
    next[10 * screenWidth + 41] = 250;
    std::vector<Span> spans(screenHeight);
    for (int row = 0; row < screenHeight; ++row)
        spans[static_cast<std::size_t>(row)] =
            differingColumns(shown.data() + row * screenWidth, next.data() + row * screenWidth);
    EXPECT_EQ(spans[10].begin, 30);
    EXPECT_EQ(spans[10].end, 42);
    EXPECT_EQ(spans[11].begin, 0);
    EXPECT_EQ(spans[11].end, 0);

    // Marks what the painter may not touch: everything but row 10's span.
    const std::uint32_t untouched = 0xABCDEF;
    for (int y = 0; y < window.height; ++y) {
        for (int x = 0; x < window.width; ++x) {
            if (y / 2 != 10 || x / 2 < 30 || x / 2 >= 42)
                window.pixels[static_cast<std::size_t>(y * window.width + x)] = untouched;
        }
    }
    paintRows(window.target(), fit, next.data(), colours.data(), 10, 11, spans.data(), line);
    for (int y = 0; y < window.height; ++y) {
        for (int x = 0; x < window.width; ++x) {
            const bool inSpan = y / 2 == 10 && x / 2 >= 30 && x / 2 < 42;
            const std::uint32_t expected =
                inSpan ? colours[next[static_cast<std::size_t>(y / 2 * screenWidth + x / 2)]] : untouched;
            ASSERT_EQ(window.at(x, y), expected) << x << "," << y;
        }
    }
}

TEST(FramePainter, SixteenBitPixelsAndAWindowSmallerThanThePicture)
{
    // 200 x 300 shows the middle of the screen at factor 1; no write lands outside.
    const int width = 200;
    const int height = 300;
    std::vector<std::uint16_t> pixels(static_cast<std::size_t>(width * height), 0x1234);
    const PixelTarget target{reinterpret_cast<std::uint8_t*>(pixels.data()), width * 2, width, height, 2};
    const Fit fit = fitScreen(width, height);
    std::vector<std::uint32_t> colours(256);
    for (std::uint32_t i = 0; i < 256; ++i)
        colours[i] = i * 3;
    const auto frame = patternFrame();
    std::vector<std::uint8_t> line;
    fillBars(target, fit, 0);
    paintRows(target, fit, frame.data(), colours.data(), 0, screenHeight, nullptr, line);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const int column = x - fit.left;
            const int row = y - fit.top;
            ASSERT_EQ(pixels[static_cast<std::size_t>(y * width + x)],
                      static_cast<std::uint16_t>(colours[frame[static_cast<std::size_t>(row * screenWidth + column)]]))
                << x << "," << y;
        }
    }
}

TEST(InputTranslator, KeysTheProgramReadsAndNoOthers)
{
    EXPECT_EQ(keyCodeOf(SDLK_RETURN), keyEnter);
    EXPECT_EQ(keyCodeOf(SDLK_KP_ENTER), keyEnter);
    EXPECT_EQ(keyCodeOf(SDLK_ESCAPE), keyEscape);
    EXPECT_EQ(keyCodeOf(SDLK_UP), keyArrowUp);
    EXPECT_EQ(keyCodeOf(SDLK_DOWN), keyArrowDown);
    EXPECT_EQ(keyCodeOf(SDLK_LEFT), keyArrowLeft);
    EXPECT_EQ(keyCodeOf(SDLK_RIGHT), keyArrowRight);
    EXPECT_EQ(keyCodeOf(SDLK_TAB), keyTab);
    EXPECT_EQ(keyCodeOf(SDLK_SPACE), keySpace);
    EXPECT_EQ(keyCodeOf(SDLK_F1), keyF1);
    EXPECT_EQ(keyCodeOf(SDLK_F2), keyF2);
    EXPECT_EQ(keyCodeOf(SDLK_F3), keyF3);
    EXPECT_EQ(keyCodeOf(SDLK_PAGEUP), keyPageUp);
    EXPECT_EQ(keyCodeOf(SDLK_PAGEDOWN), keyPageDown);
    EXPECT_EQ(keyCodeOf(SDLK_HOME), keyHome);
    EXPECT_EQ(keyCodeOf(SDLK_END), keyEnd);
    EXPECT_EQ(keyCodeOf(SDLK_a), 'A');
    EXPECT_EQ(keyCodeOf(SDLK_z), 'Z');
    EXPECT_EQ(keyCodeOf(SDLK_0), 0);
    EXPECT_EQ(keyCodeOf(SDLK_F4), 0);
    EXPECT_EQ(keyCodeOf(SDLK_LCTRL), 0);
}

TEST(SidePanel, TheCaptionBarsButtonsLieRightToLeftClearOfTheCaption)
{
    platform::SideText text;
    text.caption = "What happened";
    text.buttons = {{"Hint", 'H'}, {"Review", 'R'}};
    const std::vector<platform::Rect> places = platform::sdl::sidePanelButtons(text);
    ASSERT_EQ(places.size(), 2u);
    EXPECT_EQ(places[0].right, platform::sdl::panelColumns - 6);
    EXPECT_LT(places[1].right, places[0].left);
    // The caption is drawn bold from the margin: one column more than its width.
    EXPECT_GT(places[1].left, 6 + platform::font::textWidth(text.caption) + 1);
    for (const platform::Rect& place : places) {
        EXPECT_GT(place.top, 0);
        EXPECT_LT(place.bottom, platform::titleBarHeight);
    }
}
