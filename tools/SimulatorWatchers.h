// zarta-sim's watchers of the game and the platform for the whole run.
#pragma once

namespace sim {

// Sets the game's watchers, the platform observer and the internal error
// handler on the fresh process: trace lines, totals and the checks. An
// account told before it (--account) goes on being told.
void watchTheRun();

}  // namespace sim
