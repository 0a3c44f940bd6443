// A loop of the game that can make no more progress is a fault of the program
// itself: it stops with a message naming the loop and the state of the round
// instead of spinning, so a test or a tool sees the fault at once.
#pragma once

// Receives the message before the process ends; null writes it to standard
// error. A handler may end the process itself; if it returns, the process aborts.
using InternalErrorHandler = void (*)(const char* message);
extern InternalErrorHandler internalErrorHandler;

// The message is "internal error in LOOP: WHY (the round's seats, flags and lives)".
[[noreturn]] void stopOnInternalError(const char* loop, const char* why);
