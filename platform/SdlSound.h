// The desktop's cues through SDL audio: each cue's samples queued on one
// device, paused whenever nothing is queued and closed after a long
// silence, so a game left waiting costs no processor time for sound.
#pragma once

#include "platform/Platform.h"

#include <SDL.h>

#include <array>
#include <vector>

namespace platform::sdl {

class CuePlayer {
public:
    CuePlayer() = default;
    CuePlayer(const CuePlayer&) = delete;
    CuePlayer& operator=(const CuePlayer&) = delete;
    ~CuePlayer() { close(); }

    // Queues the cue behind those still sounding, opening the device if it
    // is closed. A device that cannot open says so once on standard error,
    // and the game goes on in silence.
    void play(Cue cue);
    // Drops whatever is still queued.
    void silence();
    // Pauses the device once everything queued has been played, and closes
    // it after a long silence. Returns the milliseconds until it next needs
    // this call, 0 for never (closed).
    int settle();
    void close();

private:
    bool open();

    SDL_AudioDeviceID device = 0;
    bool failed = false;  // a device could not be opened: silence for the rest of the run
    bool paused = true;
    Uint64 pausedAt = 0;                               // SDL_GetTicks64() as it last paused
    std::array<std::vector<float>, cueCount> samples;  // by Cue, made as the device first opens
};

}  // namespace platform::sdl
