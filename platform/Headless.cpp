// The headless back end (see Headless.h): the virtual clock, scripted boxes
// and the observers of a run.
#include "platform/Headless.h"

#include "platform/Backend.h"
#ifndef __EMSCRIPTEN__
#include "platform/PlayerFiles.h"
#endif

#include <atomic>
#include <map>
#include <memory>

namespace platform::headless {

namespace {

struct HeadlessState {
    std::int64_t pauseUnits = 0;
    std::int64_t clockMilliseconds = 0;
    int pinnedSeconds = -1;
    std::function<std::uint64_t()> gameSeeds;
    std::map<std::string, std::string> playerData;       // kept in memory, by name
    std::map<std::string, std::string> playerDataFiles;  // or in these files, by name
    std::uint64_t gameSeedsDrawn = 0;
    std::shared_ptr<const BoxAnswerer> answerer;  // shared, so a box holds it without copying the function
    IdleHandler idleHandler;
    Observer observer;
    std::function<void(int units)> pauseObserver;
    int boxCount = 0;
    std::string lastBoxText;
    int dialogCount = 0;
    bool exited = false;
    int exitStatus = 0;
    std::string instanceDirectory;
    std::string instanceDisplay;

    std::size_t framesKept = 0;  // 0: frames are not presented
    std::deque<Frame> frames;
    std::int64_t framesPresented = 0;
    std::function<void(const Frame&)> frameObserver;
    int pauseStarting = 0;  // the units of the pause whose screen is being presented

    std::deque<SoundedCue> cues;
    std::int64_t cuesSounded = 0;
};

HeadlessState current;

// The colours of the frames' indices: the same table for the whole run.
const std::uint32_t* screenPalette = nullptr;

// Raise requests arrive on the rendezvous thread, which outlives any install().
std::atomic<int> raiseCount{0};

bool countRaise()
{
    raiseCount.fetch_add(1);
    return true;
}

class HeadlessBackend final : public backend::Backend {
public:
    bool waitForInput() override
    {
        if (!current.idleHandler)
            return false;
        std::size_t before = backend::queueLength();
        // A copy, since a handler may replace or clear itself while it runs.
        IdleHandler handler = current.idleHandler;
        handler();
        return backend::queueLength() > before;
    }

    void present(const std::uint8_t* indices, const std::uint32_t* palette) override
    {
        screenPalette = palette;
        // The oldest frame's buffer is reused, so recording allocates nothing once full.
        Frame frame;
        if (current.frames.size() >= current.framesKept) {
            frame = std::move(current.frames.front());
            current.frames.pop_front();
        }
        frame.sequence = current.framesPresented++;
        frame.pauseTotal = current.pauseUnits;
        frame.pause = current.pauseStarting;
        frame.modal = backend::boxOpen() || backend::dialogOpen() || backend::popupOpen();
        frame.indices.assign(indices, indices + static_cast<std::size_t>(screenWidth * screenHeight));
        current.frames.push_back(std::move(frame));
        if (auto observer = current.frameObserver)
            observer(current.frames.back());
    }
    bool showsFrames() const override { return current.framesKept > 0; }
    void startPause(int units) override { current.pauseStarting = units; }

    void waitUnits(int units) override
    {
        current.pauseStarting = 0;
        current.pauseUnits += units;
        current.clockMilliseconds += static_cast<std::int64_t>(units) * unitMilliseconds;
        if (auto observer = current.pauseObserver)
            observer(units);
    }

    int localSeconds() override
    {
        if (current.pinnedSeconds >= 0)
            return current.pinnedSeconds;
        std::int64_t seconds = current.clockMilliseconds / 1000 % 60;
        return static_cast<int>(seconds < 0 ? seconds + 60 : seconds);
    }

    bool changePlayerData(const char* name, const PlayerDataChange& change, std::string& problem) override
    {
#ifndef __EMSCRIPTEN__
        if (auto file = current.playerDataFiles.find(name); file != current.playerDataFiles.end())
            return files::changeFile(file->second, change, problem);
#endif
        auto stored = current.playerData.find(name);
        std::string changed = change(stored == current.playerData.end() ? nullptr : &stored->second);
        if (!changed.empty())
            current.playerData[name] = std::move(changed);
        (void)problem;
        return true;
    }

    std::string playerDataPlace(const char* name) override
    {
        auto file = current.playerDataFiles.find(name);
        return file != current.playerDataFiles.end() ? file->second : std::string("memory:") + name;
    }

    std::uint64_t gameSeed() override
    {
        if (current.gameSeeds)
            return current.gameSeeds();
        // Without a source set, a fixed sequence: every run deals alike.
        return 0x2545f4914f6cdd1dULL * ++current.gameSeedsDrawn;
    }

    void exitProcess(int status) override
    {
        current.exited = true;
        current.exitStatus = status;
    }

    std::string instanceDirectory() override { return current.instanceDirectory; }
    std::string instanceDisplay() override { return current.instanceDisplay; }
    RaiseHandler raiseHandler() override { return countRaise; }

    int scriptedBoxAnswer(std::string_view text, std::string_view caption, BoxButtons buttons) override
    {
        // Held for the call: the answerer may replace itself.
        const std::shared_ptr<const BoxAnswerer> answerer = current.answerer;
        return answerer ? (*answerer)(text, caption, buttons) : 0;
    }

    void dialogOpened(int) override { ++current.dialogCount; }

    void playCue(Cue cue) override
    {
        // A run of many games keeps only the latest, so memory stays bounded.
        if (current.cues.size() >= cuesKept)
            current.cues.pop_front();
        current.cues.push_back({cue, current.framesPresented, current.pauseUnits});
        ++current.cuesSounded;
    }

    void tapTaken(int controlId) override
    {
        if (current.observer.tapTaken)
            current.observer.tapTaken(controlId);
    }

    void commandChosen(int command) override
    {
        if (current.observer.commandChosen)
            current.observer.commandChosen(command);
    }

    void boxAnswered(std::string_view text, std::string_view caption, int result) override
    {
        ++current.boxCount;
        current.lastBoxText = text;
        if (current.observer.boxAnswered)
            current.observer.boxAnswered(text, caption, result);
    }

    void inputFinished() override
    {
        if (current.observer.inputFinished)
            current.observer.inputFinished();
    }
};

}  // namespace

void install()
{
    current = HeadlessState{};
    raiseCount = 0;
    backend::install(std::make_unique<HeadlessBackend>());
}

void pushTap(int x, int y)
{
    backend::queueTap(x, y);
}
void pushKey(Param key, bool control)
{
    backend::queueKey(key, control ? modifierControl : 0);
}
void pushKeyWithModifiers(Param key, Param modifiers)
{
    backend::queueKey(key, modifiers);
}
void pushClose()
{
    backend::queueClose();
}

void setBoxAnswerer(BoxAnswerer answerer)
{
    current.answerer = answerer ? std::make_shared<const BoxAnswerer>(std::move(answerer)) : nullptr;
}
void setIdleHandler(IdleHandler handler)
{
    current.idleHandler = std::move(handler);
}

void setClockMilliseconds(std::int64_t milliseconds)
{
    current.clockMilliseconds = milliseconds;
}
std::int64_t clockMilliseconds()
{
    return current.clockMilliseconds;
}
bool keepPlayerDataIn(const std::string& name, const std::string& path)
{
#ifdef __EMSCRIPTEN__
    (void)name;
    (void)path;
    return false;
#else
    current.playerDataFiles[name] = path;
    return true;
#endif
}

std::string* playerData(const std::string& name)
{
    auto stored = current.playerData.find(name);
    return stored == current.playerData.end() ? nullptr : &stored->second;
}

void setGameSeeds(std::function<std::uint64_t()> source)
{
    current.gameSeeds = std::move(source);
}
void pinSeconds(int seconds)
{
    current.pinnedSeconds = seconds >= 0 && seconds < 60 ? seconds : -1;
}

std::int64_t pauseUnits()
{
    return current.pauseUnits;
}
void setPauseObserver(std::function<void(int units)> observer)
{
    current.pauseObserver = std::move(observer);
}
int boxCount()
{
    return current.boxCount;
}
std::string lastBoxText()
{
    return current.lastBoxText;
}
bool exited()
{
    return current.exited;
}
int exitStatus()
{
    return current.exitStatus;
}

int dialogCount()
{
    return current.dialogCount;
}

std::uint32_t Frame::pixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= screenWidth || y >= screenHeight || !screenPalette ||
        indices.size() != static_cast<std::size_t>(screenWidth * screenHeight))
        return 0;
    return screenPalette[indices[static_cast<std::size_t>(y * screenWidth + x)]];
}

void recordFrames(std::size_t keep)
{
    current.framesKept = keep > 0 ? keep : 1;
    while (current.frames.size() > current.framesKept)
        current.frames.pop_front();
    // What the screen shows from here on is presented, even if it has not changed since.
    backend::presentAgain();
}
const std::deque<Frame>& frames()
{
    return current.frames;
}
const Frame* lastFrame()
{
    return current.frames.empty() ? nullptr : &current.frames.back();
}
std::int64_t framesPresented()
{
    return current.framesPresented;
}
void setFrameObserver(std::function<void(const Frame& frame)> observer)
{
    current.frameObserver = std::move(observer);
}

const std::deque<SoundedCue>& cues()
{
    return current.cues;
}
std::int64_t cuesSounded()
{
    return current.cuesSounded;
}

class Snapshot {
public:
    backend::CoreSnapshotPointer core;
    HeadlessState headless;
};

std::shared_ptr<const Snapshot> saveSnapshot()
{
    return std::make_shared<const Snapshot>(Snapshot{backend::saveCore(), current});
}

void restoreSnapshot(const Snapshot& snapshot)
{
    backend::restoreCore(*snapshot.core);
    HeadlessState copy(snapshot.headless);
    current = std::move(copy);
}

void setObserver(Observer observer)
{
    current.observer = std::move(observer);
}

void useInstanceDirectory(const std::string& directory, const std::string& display)
{
    current.instanceDirectory = directory;
    current.instanceDisplay = display;
}
int raiseRequests()
{
    return raiseCount.load();
}

}  // namespace platform::headless
