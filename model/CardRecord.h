// One card as every part of the game copies it: seven signed 16-bit fields,
// always moved as a whole record.
#pragma once

#include <cstdint>

struct CardRecord {
    std::int16_t sideFace;             // image id drawn sideways (west, east)
    std::int16_t uprightFace;          // image id drawn upright (south, north, table)
    std::int16_t points;               // 7..11; 0 for a card back
    std::int16_t suit;                 // 1 clubs, 2 diamonds, 3 hearts, 4 spades; 0 for a back
    std::int16_t rank;                 // 7..14 (11 jack .. 14 ace); 0 for a back
    std::int16_t sideFaceSelected;     // sideways image id while selected
    std::int16_t uprightFaceSelected;  // upright image id while selected

    friend constexpr bool operator==(const CardRecord&, const CardRecord&) = default;
};

constexpr bool sameCard(const CardRecord& a, const CardRecord& b)
{
    return a.sideFace == b.sideFace;
}
