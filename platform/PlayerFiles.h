// The player's own data as files, for the back ends that have a file system
// (the desktop window and the headless one): where they live, and a change
// that lands whole under a lock.
#pragma once

#include "platform/Platform.h"

#include <string>

namespace platform::files {

// $XDG_DATA_HOME/zarta, or ~/.local/share/zarta; empty, with the reason in
// `problem`, when the environment names neither.
std::string dataFolder(std::string& problem);

// Reads `path` (nothing when it does not exist), hands it to `change` and
// writes the result: to a temporary file in the same folder, synced, then
// renamed over `path`, so a crash leaves the old file or the new one. An
// advisory lock on PATH.lock keeps two copies of the program from changing
// it at once. Folders missing on the way are made.
bool changeFile(const std::string& path, const PlayerDataChange& change, std::string& problem);

}  // namespace platform::files
