// The whole process state of a headless run: starting it fresh, and saving
// and restoring it, so many runs can start from one point.
#pragma once

#include <functional>
#include <memory>

namespace sim {

// Resets the whole process state (back end, game record, shell, watchers)
// and runs start-up until the board waits for input; false when start-up
// failed. The game's watchers come back empty; a box answerer or observer
// set afterwards stays until the next call. `beforeStartUp` runs on the
// fresh back end before start-up, for watchers of the whole run.
bool startFreshProcess(const std::function<void()>& beforeStartUp = {});

// The whole process state as it is now: the platform, the game record and
// the shell. Restoring it puts the process back exactly there, far faster
// than starting a fresh one; the game's watchers come back empty, and the
// box answerer and observer as they were when it was saved.
struct ProcessSnapshot;
std::shared_ptr<const ProcessSnapshot> saveProcess();
void restoreProcess(const ProcessSnapshot& snapshot);

}  // namespace sim
