// The web back end. The page (web/zarta-page.js) owns the <canvas>, turns pointer
// and key events into device input and keeps them in its own queue until the
// program waits for input, so input that arrives during a pause waits there,
// as it waits in the desktop's event queue. Pauses and waits sleep through
// Asyncify, which hands the browser back its event loop meanwhile. Every
// input and every value from outside passes through the page, which keeps
// them for the kept game (platform/Web.h).
#include "platform/Web.h"

#include "platform/Backend.h"
#include "platform/Core.h"
#include "platform/CueSound.h"
#include "platform/TapReach.h"

#include <emscripten.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <memory>

// ---- The page's side -------------------------------------------------------

// clang-format off
EM_JS(void, webShow, (const std::uint8_t* rgba, int width, int height), {
    Module.zarta.show(new Uint8ClampedArray(HEAPU8.buffer, rgba, width * height * 4), width, height);
});

// The next queued input: 1 tap (x, y, the shown scale in thousandths of a CSS
// pixel per screen pixel), 2 key (code, modifiers), 3 menu command (id), 0 none.
// `take` numbers the program's takes since the game's New.
EM_JS(int, webTakeInput, (int* values, int take), {
    const input = Module.zarta.takeInput(take);
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

EM_JS(int, webSeconds, (), {
    return Module.zarta.seconds();
});

EM_JS(int, webRandomWord, (), {
    return Module.zarta.randomWord();
});

EM_JS(int, webChosenLevel, (), {
    return Module.zarta.chosenLevel();
});

EM_JS(void, webTellLevel, (int level), {
    Module.zarta.levelPlayed(level);
});

EM_JS(int, webChosenDeal, (), {
    return Module.zarta.chosenDeal();
});

EM_JS(void, webTellDeal, (int deal), {
    Module.zarta.dealPlayed(deal);
});

EM_JS(int, webConfirmLeaving, (), {
    return Module.zarta.confirmLeaving() ? 1 : 0;
});

// The kept game: 1 when this New is the one the page rebuilds from.
EM_JS(int, webRebuildingGame, (), {
    return Module.zarta.gameStarting() ? 1 : 0;
});
EM_JS(void, webKeepGame, (const std::uint8_t* bytes, int length), {
    Module.zarta.keepGame(HEAPU8.slice(bytes, bytes + length));
});
EM_JS(int, webKeptLength, (), {
    return Module.zarta.kept().length;
});
EM_JS(void, webKeptCopy, (std::uint8_t* bytes), {
    HEAPU8.set(Module.zarta.kept(), bytes);
});
EM_JS(void, webKeptUnreadable, (const char* why), {
    Module.zarta.keptUnreadable(UTF8ToString(why));
});

// The player's data: its length in bytes, -1 when there is none, -2 when
// the browser keeps none for this page.
EM_JS(int, webPlayerDataLength, (const char* name), {
    const text = Module.zarta.playerData(UTF8ToString(name));
    return typeof text === 'string' ? lengthBytesUTF8(text) : text;
});
EM_JS(void, webPlayerDataCopy, (const char* name, char* buffer, int size), {
    stringToUTF8(Module.zarta.playerData(UTF8ToString(name)), buffer, size);
});
EM_JS(int, webWritePlayerData, (const char* name, const char* text), {
    return Module.zarta.writePlayerData(UTF8ToString(name), UTF8ToString(text)) ? 1 : 0;
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
EM_JS(void, webStatusEnd,
      (const char* words, int gameRunning, int framedControl, const char* framed, const char* selected), {
    Module.zarta.statusEnd(UTF8ToString(words), gameRunning, framedControl, UTF8ToString(framed),
                           UTF8ToString(selected));
});
EM_JS(void, webPauseStarted, (int units), {
    Module.zarta.pauseStarted(units);
});
EM_JS(void, webPausing, (const char* words, int gameRunning), {
    Module.zarta.pausing(UTF8ToString(words), gameRunning);
});
EM_JS(void, webNews, (const char* line, const char* eventJson), {
    Module.zarta.news(UTF8ToString(line), UTF8ToString(eventJson));
});
EM_JS(void, webBoxOpened, (const char* text, const char* caption), {
    Module.zarta.boxOpened(UTF8ToString(text), UTF8ToString(caption));
});
// A cue to sound now; its samples (count floats at rate a second) come with
// it the first time, and then count is 0.
EM_JS(void, webCue, (int cue, const float* samples, int count, int rate), {
    Module.zarta.cue(cue, count > 0 ? HEAPF32.slice(samples >> 2, (samples >> 2) + count) : null, rate);
});
// clang-format on

namespace platform::web {

namespace {

TableWords (*tableDescriber)(bool pausing) = nullptr;
// The program's takes of input since the game's New: each wait for input
// is one, and so is each look for input as a box opens. The page keeps each
// input with its take, because when input reaches the core decides what it
// does (a box drops what comes after it opens).
int takesThisGame = 0;

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
    webStatusEnd(words.text.c_str(), words.gameRunning ? 1 : 0, words.framedControl, words.framed.c_str(),
                 words.selected.c_str());
}

class WebBackend final : public backend::Backend {
public:
    bool waitForInput() override
    {
        const int take = ++takesThisGame;
        while (!ended) {
            if (takeQueuedInput(take))
                return true;
            reportWaiting();
            webInputArrived();
        }
        return false;
    }

    void collectInput() override { takeQueuedInput(++takesThisGame); }

    void present(const std::uint8_t* indices, const std::uint32_t* palette) override
    {
        convertToRgba(indices, palette, rgba.get());
        webShow(reinterpret_cast<const std::uint8_t*>(rgba.get()), screenWidth, screenHeight);
    }

    // The board's words stay true while the computer plays: nobody's turn is offered during a pause.
    void startPause(int units) override
    {
        webPauseStarted(units);
        pauseStarted = emscripten_get_now();
        if (tableDescriber && !backend::boxOpen()) {
            const TableWords words = tableDescriber(true);
            webPausing(words.text.c_str(), words.gameRunning ? 1 : 0);
        }
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

    int localSeconds() override { return webSeconds(); }

    std::uint64_t gameSeed() override
    {
        const auto high = static_cast<std::uint32_t>(webRandomWord());
        return (static_cast<std::uint64_t>(high) << 32) | static_cast<std::uint32_t>(webRandomWord());
    }

    // In the browser's storage, under "zarta-NAME". One tab plays at a time
    // and the page's script runs to the end of a step before any other, so
    // nothing comes between the read and the write.
    bool changePlayerData(const char* name, const PlayerDataChange& change, std::string& problem) override
    {
        const int length = webPlayerDataLength(name);
        if (length < -1) {
            problem = "this browser keeps no data for this site";
            return false;
        }
        std::string stored;
        if (length >= 0) {
            std::vector<char> bytes(static_cast<std::size_t>(length) + 1);
            webPlayerDataCopy(name, bytes.data(), length + 1);
            stored.assign(bytes.data(), static_cast<std::size_t>(length));
        }
        const std::string changed = change(length >= 0 ? &stored : nullptr);
        if (!changed.empty() && !webWritePlayerData(name, changed.c_str())) {
            problem = "this browser would not store it (its storage for this site may be full)";
            return false;
        }
        return true;
    }

    std::string playerDataPlace(const char*) override { return "this browser's storage for this site"; }

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

    // Whether it is heard is the page's: it starts the sound at the player's
    // first input, keeps the player's M, and plays nothing of a game it builds again.
    void playCue(Cue cue) override
    {
        bool& sent = samplesSent[static_cast<std::size_t>(cue)];
        if (sent) {
            webCue(static_cast<int>(cue), nullptr, 0, 0);
            return;
        }
        sent = true;
        const std::vector<float> samples = sound::cueSamples(cue);
        webCue(static_cast<int>(cue), samples.data(), static_cast<int>(samples.size()), sound::sampleRate);
    }

private:
    bool takeQueuedInput(int take)
    {
        bool any = false;
        int values[3] = {};
        for (;;) {
            switch (static_cast<PageInput>(webTakeInput(values, take))) {
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
    std::array<bool, cueCount> samplesSent{};  // by Cue: the page holds its samples
};

// What the page keeps of a game's start: the program's carried bytes, then
// the input taken but not yet handled, each as three words (the kind, as
// PageInput numbers it but with taps where they were aimed, and two values).
// Words are little-endian, as wasm's memory is.
void appendWord(std::vector<std::uint8_t>& bytes, std::int32_t word)
{
    const std::size_t at = bytes.size();
    bytes.resize(at + sizeof word);
    std::memcpy(bytes.data() + at, &word, sizeof word);
}

bool readWord(const std::vector<std::uint8_t>& bytes, std::size_t& at, std::int32_t& word)
{
    if (bytes.size() - at < sizeof word)
        return false;
    std::memcpy(&word, bytes.data() + at, sizeof word);
    at += sizeof word;
    return true;
}

std::vector<std::uint8_t> keptStart(const std::vector<std::uint8_t>& carried)
{
    std::vector<std::uint8_t> bytes;
    appendWord(bytes, static_cast<std::int32_t>(carried.size()));
    bytes.insert(bytes.end(), carried.begin(), carried.end());
    const std::size_t countAt = bytes.size();
    std::int32_t count = 0;
    appendWord(bytes, count);
    for (const core::Pending& pending : core::state().queue) {
        const Message& message = pending.message;
        PageInput kind = PageInput::none;
        if (pending.origin == core::Origin::menuChoice)
            kind = PageInput::command;
        else if (pending.origin == core::Origin::input)
            kind = message.msg == Msg::tap ? PageInput::tap : PageInput::key;
        if (kind == PageInput::none)
            continue;
        appendWord(bytes, static_cast<std::int32_t>(kind));
        appendWord(bytes,
                   kind == PageInput::command ? lowWord(message.wparam) : static_cast<std::int32_t>(message.wparam));
        appendWord(bytes, static_cast<std::int32_t>(message.lparam));
        ++count;
    }
    std::memcpy(bytes.data() + countAt, &count, sizeof count);
    return bytes;
}

// The carried bytes of a kept start, its waiting input queued again; false
// when `bytes` is no such start.
bool rebuildStart(const std::vector<std::uint8_t>& bytes, std::vector<std::uint8_t>& carried)
{
    std::size_t at = 0;
    std::int32_t length = 0;
    if (!readWord(bytes, at, length) || length < 0 || bytes.size() - at < static_cast<std::size_t>(length))
        return false;
    carried.assign(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                   bytes.begin() + static_cast<std::ptrdiff_t>(at) + length);
    at += static_cast<std::size_t>(length);
    std::int32_t count = 0;
    constexpr std::size_t wordsPerInput = 3;
    if (!readWord(bytes, at, count) || count < 0 ||
        bytes.size() - at != static_cast<std::size_t>(count) * wordsPerInput * sizeof count)
        return false;
    for (std::int32_t i = 0; i < count; ++i) {
        std::int32_t kind = 0;
        std::int32_t a = 0;
        std::int32_t b = 0;
        readWord(bytes, at, kind);
        readWord(bytes, at, a);
        readWord(bytes, at, b);
        switch (static_cast<PageInput>(kind)) {
        case PageInput::tap:
            backend::queueTap(a, b);
            break;
        case PageInput::key:
            backend::queueKey(a, b);
            break;
        case PageInput::command:
            backend::queueCommand(a);
            break;
        default:
            return false;
        }
    }
    return true;
}

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

int chosenDeal()
{
    return webChosenDeal();
}

void tellDeal(int deal)
{
    webTellDeal(deal);
}

void tellNews(const std::string& line, const std::string& eventJson)
{
    webNews(line.c_str(), eventJson.c_str());
}

GameStart startKeptGame(std::vector<std::uint8_t>& carried)
{
    takesThisGame = 0;
    if (!webRebuildingGame()) {
        const std::vector<std::uint8_t> start = keptStart(carried);
        webKeepGame(start.data(), static_cast<int>(start.size()));
        return GameStart::live;
    }
    std::vector<std::uint8_t> start(static_cast<std::size_t>(webKeptLength()));
    webKeptCopy(start.data());
    if (!rebuildStart(start, carried)) {
        keptGameUnreadable("its start is not one this program keeps");
        return GameStart::live;
    }
    return GameStart::rebuilding;
}

void keptGameUnreadable(const char* why)
{
    webKeptUnreadable(why);
}

bool confirmLeaving()
{
    return webConfirmLeaving() != 0;
}

}  // namespace platform::web
