// Starting, saving and restoring the headless process state.
#include "tools/FreshProcess.h"

#include "ai/TableMemory.h"
#include "app/Program.h"
#include "app/Shell.h"
#include "model/GameEvents.h"
#include "model/GameState.h"
#include "platform/Headless.h"
#include "ui/Controls.h"

namespace sim {

bool startFreshProcess(const std::function<void()>& beforeStartUp)
{
    platform::headless::install();
    if (beforeStartUp)
        beforeStartUp();
    zeroGameState();
    forgetTable();
    shell = ShellState{};
    boardControls = ControlHandles{};
    gameWatcher = GameWatcher{};
    if (!startUp())
        return false;
    runMessageLoop();
    return true;
}

struct ProcessSnapshot {
    std::shared_ptr<const platform::headless::Snapshot> platform;
    GameState game;
    TableMemory memory;
    ShellState shell;
};

std::shared_ptr<const ProcessSnapshot> saveProcess()
{
    return std::make_shared<const ProcessSnapshot>(
        ProcessSnapshot{platform::headless::saveSnapshot(), game, tableMemory, shell});
}

void restoreProcess(const ProcessSnapshot& snapshot)
{
    platform::headless::restoreSnapshot(*snapshot.platform);
    game = snapshot.game;
    tableMemory = snapshot.memory;
    shell = snapshot.shell;
    gameWatcher = GameWatcher{};
}

}  // namespace sim
