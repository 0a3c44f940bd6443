// A loop of the game that can make no more progress is a fault of the program
// itself: it stops with a message naming the loop and the state of the round
// instead of spinning, so a test or a tool sees the fault at once.
#pragma once

#include <string>

// Receives the message before the process ends; null writes it to standard
// error. A handler may end the process itself; if it returns, the process aborts.
using InternalErrorHandler = void (*)(const std::string& message);
extern InternalErrorHandler internalErrorHandler;

[[noreturn]] void stopOnInternalError(const char* loop, const std::string& why);

// The round as one line: seats, flags and lives, for such a message.
std::string describeRound();
