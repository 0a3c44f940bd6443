#include "platform/SdlSound.h"

#include "platform/CueSound.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

namespace platform::sdl {

namespace {

constexpr int bytesPerSample = sizeof(float);
// A device left open, even paused, keeps its threads (and a sound server)
// waking many times a second; past this much silence it is closed. A turn
// of the human's is mostly shorter, and a cue after it opens it again.
constexpr Uint64 closeAfterMilliseconds = 10000;
// What waits longer than this behind earlier cues is dropped: sound that
// late no longer goes with what the board shows.
constexpr Uint32 longestWaitBytes = sound::sampleRate * 3 / 2 * bytesPerSample;

// Standard error sent nowhere until the object goes: SDL's drivers and the
// libraries under them (ALSA names every card it cannot find, a line each)
// write to it as they look for a device, and the player needs one line.
class QuietStandardError {
public:
    QuietStandardError()
    {
        std::fflush(stderr);
        saved = fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 0);
        const int nowhere = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (saved >= 0 && nowhere >= 0)
            dup2(nowhere, STDERR_FILENO);
        if (nowhere >= 0)
            ::close(nowhere);
    }
    ~QuietStandardError()
    {
        if (saved < 0)
            return;
        dup2(saved, STDERR_FILENO);
        ::close(saved);
    }
    QuietStandardError(const QuietStandardError&) = delete;
    QuietStandardError& operator=(const QuietStandardError&) = delete;

private:
    int saved = -1;
};

}  // namespace

bool CuePlayer::open()
{
    if (device != 0)
        return true;
    if (failed)
        return false;
    SDL_AudioSpec wanted{};
    wanted.freq = sound::sampleRate;
    wanted.format = AUDIO_F32SYS;
    wanted.channels = 1;
    // About 46 ms: how late a cue may start, and how often a paused device wakes.
    wanted.samples = 1024;
    bool started = false;
    {
        const QuietStandardError quiet;
        started = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
        // SDL converts to whatever the device takes.
        if (started)
            device = SDL_OpenAudioDevice(nullptr, 0, &wanted, nullptr, 0);
    }
    if (device == 0) {
        failed = true;
        std::fprintf(stderr, "zarta: no sound, the game plays silently: %s\n", SDL_GetError());
        if (started)
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    paused = true;
    pausedAt = SDL_GetTicks64();
    if (samples.front().empty()) {
        for (int cue = 0; cue < cueCount; ++cue)
            samples[static_cast<std::size_t>(cue)] = sound::cueSamples(static_cast<Cue>(cue));
    }
    return true;
}

void CuePlayer::play(Cue cue)
{
    if (static_cast<int>(cue) >= cueCount || !open())
        return;
    const std::vector<float>& sound = samples[static_cast<std::size_t>(cue)];
    if (SDL_GetQueuedAudioSize(device) > longestWaitBytes)
        SDL_ClearQueuedAudio(device);
    if (SDL_QueueAudio(device, sound.data(), static_cast<Uint32>(sound.size() * bytesPerSample)) != 0)
        return;
    if (paused) {
        SDL_PauseAudioDevice(device, 0);
        paused = false;
    }
}

void CuePlayer::silence()
{
    if (device == 0)
        return;
    SDL_ClearQueuedAudio(device);
    settle();
}

int CuePlayer::settle()
{
    if (device == 0)
        return 0;
    const Uint64 now = SDL_GetTicks64();
    if (!paused) {
        const Uint32 queued = SDL_GetQueuedAudioSize(device);
        if (queued > 0)
            return static_cast<int>(queued / bytesPerSample * 1000 / sound::sampleRate) + 1;
        // What the device took last still plays out; it is only given no more.
        SDL_PauseAudioDevice(device, 1);
        paused = true;
        pausedAt = now;
    }
    if (now - pausedAt >= closeAfterMilliseconds) {
        close();
        return 0;
    }
    return static_cast<int>(closeAfterMilliseconds - (now - pausedAt));
}

void CuePlayer::close()
{
    if (device == 0)
        return;
    SDL_CloseAudioDevice(device);
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    device = 0;
    paused = true;
}

}  // namespace platform::sdl
