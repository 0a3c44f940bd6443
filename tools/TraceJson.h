// The trace's JSON: the text of the shuffle and state lines and of the
// strings in them.
#pragma once

#include "model/CardRecord.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace sim {

std::string jsonString(std::string_view text);
// `count` cards as a JSON array of their codes.
std::string cardsJson(const CardRecord* cards, int count);
std::string shuffleJson(int seconds);
std::string snapshotJson(const char* at, const std::string& extraFields, std::int64_t pauseUnits);

}  // namespace sim
