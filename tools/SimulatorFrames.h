// zarta-sim's --frames: every frame shown during the run as a PNG file, in
// builds with the host's libpng. It knows nothing of the run: the run hands
// it the folder and a place for the first failure.
#pragma once

#include "tools/SimulatorOptions.h"

#include <string>

namespace sim {

// Checks the option and prepares the folder; false, with the reason on
// standard error, when frames cannot be written.
bool prepareFrames(const Options& options);
// From before start-up, so the first frame written is the first one shown;
// the first frame that cannot be written leaves its reason in `failure`.
void recordFrames(const std::string& folder, std::string& failure);
// Closes the frame list; a failure ends up in `failure`, unless one is there already.
void finishFrames(std::string& failure);

}  // namespace sim
