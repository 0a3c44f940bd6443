// The desktop program: the game on the SDL back end.
#include "app/Program.h"
#include "platform/Sdl.h"

int main()
{
    // The game takes no options; with no display there is nothing it can do.
    if (!platform::sdl::install())
        return 1;
    return programEntry();
}
