// zarta-sim's --frames: every frame shown during the run as a PNG file, in
// builds with the host's libpng.
#pragma once

namespace sim {

// Checks the option and prepares the folder; false, with the reason on
// standard error, when frames cannot be written.
bool prepareFrames();
// From before start-up, so the first frame written is the first one shown.
void recordFrames();
// Closes the frame list; a failure ends up in the run's framesFailure.
void finishFrames();

}  // namespace sim
