// Sound on or off, and each cue handed to the back end that sounds it.
#include "platform/Core.h"

namespace platform {

using namespace core;

void playCue(Cue cue)
{
    const CoreState& s = state();
    if (s.soundOn && !s.exited && static_cast<int>(cue) < cueCount)
        s.backend->playCue(cue);
}

void setSoundOn(bool on)
{
    CoreState& s = state();
    if (s.soundOn == on)
        return;
    s.soundOn = on;
    s.backend->soundSwitched(on);
}

bool soundOn()
{
    return state().soundOn;
}

}  // namespace platform
