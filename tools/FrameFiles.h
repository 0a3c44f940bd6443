// Presented frames as numbered PNG files, FOLDER/000000.png on, for looking
// at what a player was shown over a whole run.
#pragma once

#include "platform/Headless.h"

#include <string>

namespace tools {

// Makes the folder if it is missing; false, with the reason, if it cannot be.
bool prepareFrameFolder(const std::string& folder, std::string& failure);
// The frame as FOLDER/NNNNNN.png, its sequence number in six digits (more past 999999).
bool writeFrame(const std::string& folder, const platform::headless::Frame& frame, std::string& failure);

}  // namespace tools
