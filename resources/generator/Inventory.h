// Which picture goes under which image id. The board and the card catalogue
// name these ids; the pictures must match them exactly.
#pragma once

#include <array>

namespace generator {

constexpr int firstRank = 7;  // 7, 8, 9, 10, jack 11, queen 12, king 13, ace 14
constexpr int rankCount = 8;
constexpr int suitCount = 4;  // 1 clubs, 2 diamonds, 3 hearts, 4 spades

// Upright faces follow a rule by suit and rank; the sideways face is 52 further on.
constexpr int uprightFaceId(int suit, int rank)
{
    int suitBase = 13 * (suit - 1);
    if (rank == 13)
        return 152 + suitBase;
    if (rank == 14)
        return 164 + suitBase;
    return 158 + suitBase + (rank - 7);
}
constexpr int sideFaceId(int suit, int rank)
{
    return uprightFaceId(suit, rank) + 52;
}

// The selected faces follow no rule. By suit, then rank 7..14.
constexpr int SelectedSideIds[suitCount][rankCount] = {
    {289, 290, 291, 292, 293, 294, 283, 295},
    {297, 298, 299, 300, 301, 302, 296, 303},
    {305, 306, 307, 308, 309, 304, 311, 310},
    {313, 314, 315, 316, 317, 318, 312, 319},
};
constexpr int SelectedUprightIds[suitCount][rankCount] = {
    {321, 322, 323, 324, 325, 326, 320, 327},
    {329, 330, 331, 332, 333, 328, 335, 334},
    {337, 338, 339, 340, 341, 336, 343, 342},
    {349, 350, 351, 352, 353, 348, 355, 354},
};

constexpr int backUprightId = 273;  // 29 x 41
constexpr int backSideId = 274;     // 41 x 29

// Lives panels by lives 0..4.
constexpr std::array<int, 5> LivesUprightIds = {266, 270, 267, 268, 269};
constexpr std::array<int, 5> LivesSideIds = {262, 261, 265, 263, 264};

constexpr int stopNormalId = 279;
constexpr int passNormalId = 280;
constexpr int stopPressedId = 281;
constexpr int passPressedId = 282;

// Seats in board order: 0 south, 1 west, 2 north, 3 east.
enum class Seat { south, west, north, east };
constexpr std::array<Seat, 4> Seats = {Seat::south, Seat::west, Seat::north, Seat::east};

constexpr std::array<int, 4> StopBubbleIds = {363, 361, 362, 360};
constexpr std::array<int, 4> PassBubbleIds = {359, 357, 358, 356};
constexpr int blankSideId = 364;     // 28 x 47
constexpr int blankUprightId = 365;  // 47 x 28

// Score bubbles: each seat has a run of 21 ids, in this order of contents.
constexpr std::array<int, 4> ScoreBaseIds = {388, 409, 430, 451};
constexpr std::array<const char*, 21> ScoreTexts = {
    "flash", "8",  "9",  "10", "11", "15", "16", "17",   "18",    "19", "20",
    "21",    "25", "26", "27", "28", "29", "30", "30.5", "Zarta", "7",
};
// A hand worth 24 has a bubble of its own per seat, outside the runs.
constexpr std::array<int, 4> Score24Ids = {472, 473, 474, 475};

constexpr int backgroundId = 105;  // 240 x 268
constexpr int focusInkId = 476;    // 48 x 48, solid
constexpr int iconId = 101;        // one square drawing per [icon-N] sprite

}  // namespace generator
