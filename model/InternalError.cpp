#include "model/InternalError.h"

#include "model/GameState.h"

#include <cstdio>
#include <cstdlib>

InternalErrorHandler internalErrorHandler = nullptr;

void stopOnInternalError(const char* loop, const std::string& why)
{
    const std::string message = std::string("internal error in ") + loop + ": " + why + " (" + describeRound() + ")";
    if (internalErrorHandler)
        internalErrorHandler(message);
    else
        std::fprintf(stderr, "zarta: %s\n", message.c_str());
    std::abort();
}

std::string describeRound()
{
    auto perSeat = [](const auto& values) {
        std::string text = "[";
        for (Seat seat = 1; seat <= seatCount; ++seat)
            text += (seat > 1 ? "," : "") + std::to_string(values[seat]);
        return text + "]";
    };
    return "current seat " + std::to_string(game.currentSeat) + ", dealer " + std::to_string(game.dealerSeat) +
           ", running " + std::to_string(game.gameRunning) + ", lives " + perSeat(game.lives) + ", finished " +
           perSeat(game.finishedFlags) + ", passed " + perSeat(game.passedFlags) + ", stop " +
           std::to_string(game.stopCalled) + ", closing " + std::to_string(game.roundClosing);
}
