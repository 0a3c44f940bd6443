// The cues' sounds, made in code from short recipes: a few notes each, sine
// or triangle waves under an envelope, mono at one fixed rate. The desktop
// queues them for its sound device; the page hands them to Web Audio.
#pragma once

#include "platform/Platform.h"

#include <vector>

namespace platform::sound {

// Samples a second. The cues hold nothing above a few kilohertz.
constexpr int sampleRate = 22050;

// The cue's samples, -1..1, starting and ending in silence.
[[nodiscard]] std::vector<float> cueSamples(Cue cue);
// The cue's name as the code spells it ("cardLaid"); "" for no cue.
[[nodiscard]] const char* cueName(Cue cue);

}  // namespace platform::sound
