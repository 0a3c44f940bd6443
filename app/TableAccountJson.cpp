// The JSON object of each of the account's events, made from the game's
// record as it stands when the event is told (TableAccount.cpp tells it).
#include "app/TableAccountJson.h"

#include "model/CardNames.h"

#include <charconv>

namespace accountJson {
namespace {

// Digits without printf, which the page's program does not carry.
std::string number(int value)
{
    char digits[12];
    return {digits, std::to_chars(digits, digits + sizeof digits, value).ptr};
}

std::string codes(const CardRecord* cards, int count)
{
    // Appended piece by piece throughout this file: gcc 12 at -O3 takes a C
    // string put before a temporary std::string for an overlapping copy
    // (-Wrestrict), a false alarm that would stop a build with warnings as errors.
    std::string text = "[";
    for (int i = 0; i < count; ++i) {
        text += i > 0 ? ",\"" : "\"";
        text += cardCode(cards[i]);
        text += '"';
    }
    return text + "]";
}

std::string tableJson()
{
    return "\"table\":" + codes(game.TableCards, cardsPerHand);
}

}  // namespace

std::string dealerDraw(Seat dealer, const CardRecord* drawn)
{
    return "{\"kind\":\"dealerDraw\",\"dealer\":" + number(dealer) + ",\"drawn\":" + codes(drawn, seatCount) + "}";
}

std::string dealerChoice(Seat dealer, bool kept)
{
    return "{\"kind\":\"dealerChoice\",\"seat\":" + number(dealer) + ",\"kept\":" + (kept ? "true" : "false") + "}";
}

std::string dealt()
{
    return "{\"kind\":\"dealt\",\"dealer\":" + number(game.dealerSeat) + "," + tableJson() + "}";
}

std::string exchange(Seat seat, const CardRecord* took, const CardRecord* left, int count)
{
    return "{\"kind\":\"exchange\",\"seat\":" + number(seat) + ",\"took\":" + codes(took, count) +
           ",\"left\":" + codes(left, count) + "," + tableJson() + "}";
}

std::string move(const char* kind, Seat seat)
{
    std::string text = "{\"kind\":\"";
    text += kind;
    text += "\",\"seat\":";
    return text + number(seat) + "}";
}

std::string redeal()
{
    return "{\"kind\":\"redeal\"}";
}

std::string shows(Seat seat)
{
    return "{\"kind\":\"shows\",\"seat\":" + number(seat) + ",\"cards\":" + codes(game.hands[seat], cardsPerHand) + "}";
}

std::string roundEnd(const char* gameOver)
{
    std::string values;
    std::string losers;
    std::string lives;
    for (Seat seat = seatSouth; seat <= seatEast; ++seat) {
        const HandValue value = game.handValue[seat];
        if (seat > seatSouth) {
            values += ',';
            lives += ',';
        }
        // Hand values are whole or end in .5.
        const int whole = static_cast<int>(value);
        values += number(whole);
        if (value != whole)
            values += ".5";
        lives += number(game.lives[seat]);
        if (!game.roundLosers[seat] || value <= 0.0)
            continue;
        if (!losers.empty())
            losers += ',';
        losers += number(seat);
    }
    std::string outcome = "null";
    if (gameOver) {
        outcome = "\"";
        outcome += gameOver;
        outcome += '"';
    }
    return "{\"kind\":\"roundEnd\",\"values\":[" + values + "],\"losers\":[" + losers + "],\"lives\":[" + lives +
           "],\"gameOver\":" + outcome + "}";
}

}  // namespace accountJson
