// The single-instance rule in the browser. The page holds a Web Lock before
// it starts the program and tells a second tab that the game is already
// open, so the program itself never meets another copy.
#include "platform/Platform.h"

namespace platform {

bool bringRunningInstanceToFront(const char*, const char*)
{
    return false;
}

}  // namespace platform
