// Presented frames as numbered PNG files, FOLDER/000000.png on, for looking
// at what a player was shown over a whole run, and FOLDER/frames.txt, one
// line a frame: its number and what it was shown for ("pause 10", "input",
// "box" when a box, dialog or pop-up is open).
#pragma once

#include "platform/Headless.h"

#include <string>

namespace tools {

// Makes the folder if it is missing and starts its list; false, with the
// reason, if it cannot.
bool prepareFrameFolder(const std::string& folder, std::string& failure);
// The frame as FOLDER/NNNNNN.png, its sequence number in six digits (more past 999999).
bool writeFrame(const std::string& folder, const platform::headless::Frame& frame, std::string& failure);
// Closes the list; false if any of it could not be written.
bool finishFrameFolder(std::string& failure);

}  // namespace tools
