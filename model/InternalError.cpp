#include "model/InternalError.h"

#include "model/GameState.h"

#include <charconv>
#include <cstdlib>
#include <unistd.h>

InternalErrorHandler internalErrorHandler = nullptr;

namespace {

// One line built in place: the browser build carries no printf and no
// string formatting, and a fault this rare should not bring them in
// (std::to_chars is neither).
struct MessageLine {
    char text[400];
    unsigned length = 0;

    void add(const char* part)
    {
        while (*part && length + 1 < sizeof text)
            text[length++] = *part++;
        text[length] = '\0';
    }

    void add(long value)
    {
        char digits[24];
        *std::to_chars(digits, digits + sizeof digits - 1, value).ptr = '\0';
        add(digits);
    }

    template <typename Value>
    void addSeats(const char* name, const Value (&values)[5])
    {
        add(name);
        for (Seat seat = 1; seat <= seatCount; ++seat) {
            add(seat == 1 ? " [" : ",");
            add(static_cast<long>(values[seat]));
        }
        add("]");
    }
};

}  // namespace

void stopOnInternalError(const char* loop, const char* why)
{
    MessageLine line;
    line.add("internal error in ");
    line.add(loop);
    line.add(": ");
    line.add(why);
    line.add(" (current seat ");
    line.add(static_cast<long>(game.currentSeat));
    line.add(", dealer ");
    line.add(static_cast<long>(game.dealerSeat));
    line.add(", running ");
    line.add(static_cast<long>(game.gameRunning));
    line.addSeats(", lives", game.lives);
    line.addSeats(", finished", game.finishedFlags);
    line.addSeats(", passed", game.passedFlags);
    line.add(", stop ");
    line.add(static_cast<long>(game.stopCalled));
    line.add(", closing ");
    line.add(static_cast<long>(game.roundClosing));
    line.add(")");
    if (internalErrorHandler) {
        internalErrorHandler(line.text);
    } else {
        // Straight to the descriptor: no stdio buffer to flush before the abort.
        [[maybe_unused]] auto written = ::write(2, "zarta: ", 7);
        written = ::write(2, line.text, line.length);
        written = ::write(2, "\n", 1);
    }
    std::abort();
}
