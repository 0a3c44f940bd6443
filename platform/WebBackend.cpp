// The web back end. The page (web/zarta-page.js) owns the <canvas>, turns pointer
// and key events into device input and keeps them in its own queue until the
// program waits for input, so input that arrives during a pause waits there,
// as it waits in the desktop's event queue. Pauses and waits sleep through
// Asyncify, which hands the browser back its event loop meanwhile.
#include "platform/Web.h"

#include "platform/Backend.h"
#include "platform/Core.h"
#include "platform/TapReach.h"

#include <emscripten.h>

#include <cstdint>
#include <memory>

// ---- The page's side -------------------------------------------------------

// clang-format off
EM_JS(void, webShow, (const std::uint8_t* rgba, int width, int height), {
    Module.zarta.show(new Uint8ClampedArray(HEAPU8.buffer, rgba, width * height * 4), width, height);
});

// The next queued input: 1 tap (x, y, the shown scale in thousandths of a CSS
// pixel per screen pixel), 2 key (code, modifiers), 3 menu command (id), 0 none.
EM_JS(int, webTakeInput, (int* values), {
    const input = Module.zarta.takeInput();
    if (!input)
        return 0;
    HEAP32[values >> 2] = input[1];
    HEAP32[(values >> 2) + 1] = input[2];
    HEAP32[(values >> 2) + 2] = input[3] | 0;
    return input[0];
});

EM_ASYNC_JS(void, webInputArrived, (), {
    await Module.zarta.inputArrived();
});

EM_JS(int, webUnitMilliseconds, (), {
    return Module.zarta.unitMilliseconds();
});

EM_JS(int, webPinnedSeconds, (), {
    return Module.zarta.pinnedSeconds();
});

EM_JS(int, webRandomWord, (), {
    return crypto.getRandomValues(new Int32Array(1))[0];
});
EM_JS(int, webChosenLevel, (), {
    return Module.zarta.chosenLevel();
});

EM_JS(void, webTellLevel, (int level), {
    Module.zarta.levelPlayed(level);
});

EM_JS(void, webSetTitle, (const char* title), {
    Module.zarta.setTitle(UTF8ToString(title));
});

EM_JS(void, webEnded, (int status), {
    Module.zarta.ended(status);
});

// What a person sees while the program waits: open boxes and the places to tap.
EM_JS(void, webStatusBegin, (int box, int popup, int dialog), {
    Module.zarta.statusBegin(box, popup, dialog);
});
EM_JS(void, webStatusSpot, (int kind, int id, int left, int top, int right, int bottom), {
    Module.zarta.statusSpot(kind, id, left, top, right, bottom);
});
EM_JS(void, webStatusEnd, (const char* words, int gameRunning), {
    Module.zarta.statusEnd(UTF8ToString(words), gameRunning);
});
EM_JS(void, webPausing, (const char* words), {
    Module.zarta.pausing(UTF8ToString(words));
});
EM_JS(void, webNews, (const char* line, const char* eventJson), {
    Module.zarta.news(UTF8ToString(line), UTF8ToString(eventJson));
});
EM_JS(void, webBoxOpened, (const char* text, const char* caption), {
    Module.zarta.boxOpened(UTF8ToString(text), UTF8ToString(caption));
});
// clang-format on

namespace platform::web {

namespace {

TableWords (*tableDescriber)(bool pausing) = nullptr;

// The device screen as the canvas takes it: red, green, blue, alpha bytes,
// written a word at a time (wasm is little-endian) from the palette's words.
void convertToRgba(const std::uint8_t* indices, const std::uint32_t* palette, std::uint32_t* rgba)
{
    std::uint32_t words[256];
    for (int i = 0; i < 256; ++i) {
        const std::uint32_t colour = palette[i];
        words[i] = 0xFF000000u | (colour & 0xFF) << 16 | (colour & 0xFF00) | (colour >> 16 & 0xFF);
    }
    for (int i = 0; i < screenWidth * screenHeight; ++i)
        rgba[i] = words[indices[i]];
}

void reportSpot(SpotKind kind, int id, const Rect& r)
{
    webStatusSpot(static_cast<int>(kind), id, r.left, r.top, r.right, r.bottom);
}

// Tells the page, each time the program waits, what a person sees and where
// they could tap. The browser test plays from this; the page itself only keeps it.
void reportWaiting()
{
    webStatusBegin(backend::boxOpen(), backend::popupOpen(), backend::dialogOpen());
    for (const backend::ShownControl& control : backend::shownControls())
        reportSpot(SpotKind::control, control.id, control.rect);
    for (int answer : {answerYes, answerNo, answerOk}) {
        int x = 0;
        int y = 0;
        if (backend::boxButtonPoint(answer, x, y))
            reportSpot(SpotKind::boxButton, answer, {x, y, x + 1, y + 1});
    }
    Rect menuButton = backend::menuButtonRect();
    if (!core::isEmpty(menuButton))
        reportSpot(SpotKind::menuButton, 0, menuButton);
    const core::MenuBarRecord* bar = core::currentMenuBar();
    for (int button = 0; backend::popupOpen() && bar && button < bar->bar->buttonCount; ++button) {
        const resources::Menu* menu = resources::findMenu(bar->bar->buttons[button].menuId);
        for (int item = 0; menu && item < menu->itemCount; ++item) {
            int x = 0;
            int y = 0;
            int command = menu->items[item].command;
            if (menu->items[item].text && backend::menuItemPoint(command, x, y))
                reportSpot(SpotKind::popupItem, command, {x, y, x + 1, y + 1});
        }
    }
    TableWords words = tableDescriber ? tableDescriber(false) : TableWords{};
    // A box is told with the cards it asks about: the keep question's are the human's.
    if (backend::boxOpen())
        words.text = backend::boxInWords() + (words.hand.empty() ? "" : " " + words.hand);
    webStatusEnd(words.text.c_str(), words.gameRunning ? 1 : 0);
}

class WebBackend final : public backend::Backend {
public:
    bool waitForInput() override
    {
        while (!ended) {
            if (takeQueuedInput())
                return true;
            reportWaiting();
            webInputArrived();
        }
        return false;
    }

    void collectInput() override { takeQueuedInput(); }

    void present(const std::uint8_t* indices, const std::uint32_t* palette) override
    {
        convertToRgba(indices, palette, rgba.get());
        webShow(reinterpret_cast<const std::uint8_t*>(rgba.get()), screenWidth, screenHeight);
    }

    // The board's words stay true while the computer plays: nobody's turn is offered during a pause.
    void startPause(int) override
    {
        pauseStarted = emscripten_get_now();
        if (tableDescriber && !backend::boxOpen())
            webPausing(tableDescriber(true).text.c_str());
    }

    void waitUnits(int units) override
    {
        int unit = webUnitMilliseconds();
        if (unit < 0)
            unit = watchedUnitMilliseconds;
        // A pace of zero (for tests) runs straight through without giving the browser a turn.
        if (unit == 0 || units <= 0)
            return;
        // The pause counts from its start, so drawing its screen takes nothing from it.
        double left = pauseStarted + static_cast<double>(units) * unit - emscripten_get_now();
        emscripten_sleep(left > 0 ? static_cast<unsigned>(left) : 0);
    }

    int localSeconds() override
    {
        int pinned = webPinnedSeconds();
        if (pinned >= 0)
            return pinned;
        return EM_ASM_INT({ return new Date().getSeconds(); });
    }

    std::uint64_t gameSeed() override
    {
        const auto high = static_cast<std::uint32_t>(webRandomWord());
        return (static_cast<std::uint64_t>(high) << 32) | static_cast<std::uint32_t>(webRandomWord());
    }

    void exitProcess(int status) override
    {
        ended = true;
        webEnded(status);
    }

    std::string instanceDirectory() override { return {}; }
    RaiseHandler raiseHandler() override { return nullptr; }

    void showIdentity(const char* title, int) override { webSetTitle(title); }

    void boxOpened(std::string_view text, std::string_view caption) override
    {
        webBoxOpened(std::string(text).c_str(), std::string(caption).c_str());
    }

private:
    bool takeQueuedInput()
    {
        bool any = false;
        int values[3] = {};
        for (;;) {
            switch (static_cast<PageInput>(webTakeInput(values))) {
            case PageInput::none:
                return any;
            case PageInput::tap:
                backend::queueFingerTap(values[0], values[1], values[2]);
                break;
            case PageInput::key:
                backend::queueKey(values[0], values[1]);
                break;
            case PageInput::command:
                backend::queueCommand(values[0]);
                break;
            }
            any = true;
        }
    }

    // Left uninitialised: every frame writes all of it.
    std::unique_ptr<std::uint32_t[]> rgba{new std::uint32_t[screenWidth * screenHeight]};
    double pauseStarted = 0;  // milliseconds, emscripten_get_now()
    bool ended = false;
};

}  // namespace

void install()
{
    backend::install(std::make_unique<WebBackend>());
}

void setTableDescriber(TableWords (*describe)(bool pausing))
{
    tableDescriber = describe;
}

int chosenLevel()
{
    return webChosenLevel();
}

void tellLevel(int level)
{
    webTellLevel(level);
}

void tellNews(const std::string& line, const std::string& eventJson)
{
    webNews(line.c_str(), eventJson.c_str());
}

}  // namespace platform::web
