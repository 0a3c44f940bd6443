// The browser program: the game on the web back end. The page starts it once
// it holds the tab's lock and shows the ending when it returns.
#include "app/Program.h"
#include "platform/Web.h"

int main()
{
    platform::web::install();
    platform::exitProcess(programEntry());
    return 0;
}
