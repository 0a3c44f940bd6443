// The trace's JSON: cards as codes ("Kh", "00" for an empty record, "--"
// for anything else), seats as arrays, the state line's fields in order.
#include "tools/TraceJson.h"

#include "model/GameState.h"
#include "model/CardNames.h"
#include "ui/Controls.h"

#include <cstdio>
#include <sstream>

namespace sim {

std::string jsonString(std::string_view text)
{
    std::string out = "\"";
    for (const char each : text) {
        if (each == '"' || each == '\\') {
            out += '\\';
            out += each;
        } else if (static_cast<unsigned char>(each) < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(each));
            out += escaped;
        } else {
            out += each;
        }
    }
    return out + "\"";
}

namespace {

// The card's code in quotes; "00" for a record never filled in.
std::string quotedCardCode(const CardRecord& card)
{
    const bool allZero = card.sideFace == 0 && card.uprightFace == 0 && card.points == 0 && card.suit == 0 &&
                         card.rank == 0 && card.sideFaceSelected == 0 && card.uprightFaceSelected == 0;
    if (allZero)
        return "\"00\"";
    std::string code = "\"";
    code += cardCode(card);
    code += '"';
    return code;
}

template <typename Value>
std::string seatArray(const Value (&values)[5])
{
    std::ostringstream out;
    out << '[';
    for (Seat seat = 1; seat <= seatCount; ++seat)
        out << (seat > 1 ? "," : "") << values[seat];
    out << ']';
    return out.str();
}

// The JSON here is appended piece by piece: gcc 12 at -O3 takes a C string
// put before a temporary std::string for an overlapping copy (-Wrestrict), a
// false alarm that would stop a build with warnings as errors.
std::string flagArray(const std::int32_t (&flags)[3])
{
    std::string out = "[";
    for (int index = 0; index < 3; ++index) {
        if (index > 0)
            out += ',';
        out += std::to_string(flags[index]);
    }
    out += ']';
    return out;
}

}  // namespace

std::string cardsJson(const CardRecord* cards, int count)
{
    std::string out = "[";
    for (int index = 0; index < count; ++index) {
        if (index > 0)
            out += ',';
        out += quotedCardCode(cards[index]);
    }
    out += ']';
    return out;
}

std::string shuffleJson(int seconds)
{
    std::string out = "{\"ev\":\"shuffle\",\"seconds\":";
    out += std::to_string(seconds);
    out += ",\"deck\":";
    out += cardsJson(game.Deck, deckSize);
    out += '}';
    return out;
}

std::string snapshotJson(const char* at, const std::string& extraFields, std::int64_t pauseUnits)
{
    std::ostringstream out;
    out << "{\"ev\":\"state\",\"at\":\"" << at << "\"," << extraFields << "\"current\":" << game.currentSeat
        << ",\"dealer\":" << game.dealerSeat << ",\"running\":" << int{game.gameRunning}
        << ",\"pending\":" << int{game.dealerChoicePending} << ",\"first\":" << int{game.firstTurnOfRound}
        << ",\"stop\":" << int{game.stopCalled} << ",\"closing\":" << int{game.roundClosing}
        << ",\"aces\":" << int{game.threeAcesFlag} << ",\"lives\":" << seatArray(game.lives)
        << ",\"values\":" << seatArray(game.handValue) << ",\"finished\":" << seatArray(game.finishedFlags)
        << ",\"passed\":" << seatArray(game.passedFlags) << ",\"passCount\":" << seatArray(game.passCount)
        << ",\"winners\":" << seatArray(game.roundWinners) << ",\"losers\":" << seatArray(game.roundLosers)
        << ",\"hands\":[";
    for (Seat seat = 1; seat <= seatCount; ++seat)
        out << (seat > 1 ? "," : "") << cardsJson(game.hands[seat], 3);
    out << "],\"table\":" << cardsJson(game.TableCards, 3) << ",\"handSel\":" << flagArray(game.handSelected)
        << ",\"tableSel\":" << flagArray(game.tableSelected) << ",\"pause\":" << pauseUnits << "}";
    return out.str();
}

}  // namespace sim
