#include "ui/ImageTables.h"

const std::uint16_t LivesImagesUpright[5] = {266, 270, 267, 268, 269};
const std::uint16_t LivesImagesSide[5] = {262, 261, 265, 263, 264};

const std::int32_t LivesOriginX[5] = {0, 150, 7, 58, 189};
const std::int32_t LivesOriginY[5] = {0, 189, 150, 7, 58};

const std::int32_t BubbleOriginX[5] = {0, 51, 50, 141, 161};
const std::int32_t BubbleOriginY[5] = {0, 161, 51, 50, 141};

const std::uint16_t BubbleBlankImages[5] = {0, 365, 364, 365, 364};

// Stop for seats 1..4, then Pass for seats 1..4; entries 0 and 5 name no seat.
const std::uint16_t BubbleCallImages[10] = {0, 363, 361, 362, 360, 0, 359, 357, 358, 356};

// Row = seat, column = score column. Column 0 blanks the spot; column 24
// (seven, eight and nine of one suit) has a bubble of its own (ids 472..475),
// since that hand really occurs and would otherwise show no score.
const std::uint16_t ScoreImages[5][37] = {
    {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
    {365, 0, 0, 0, 0, 0, 0, 408, 389, 390, 391, 392, 0, 0, 0, 393, 394, 395, 396, 397, 398, 399, 0, 0, 472, 400, 401, 402, 403, 404, 405, 407, 0, 0, 0, 406, 388},
    {364, 0, 0, 0, 0, 0, 0, 429, 410, 411, 412, 413, 0, 0, 0, 414, 415, 416, 417, 418, 419, 420, 0, 0, 473, 421, 422, 423, 424, 425, 426, 428, 0, 0, 0, 427, 409},
    {365, 0, 0, 0, 0, 0, 0, 450, 431, 432, 433, 434, 0, 0, 0, 435, 436, 437, 438, 439, 440, 441, 0, 0, 474, 442, 443, 444, 445, 446, 447, 449, 0, 0, 0, 448, 430},
    {364, 0, 0, 0, 0, 0, 0, 471, 452, 453, 454, 455, 0, 0, 0, 456, 457, 458, 459, 460, 461, 462, 0, 0, 475, 463, 464, 465, 466, 467, 468, 470, 0, 0, 0, 469, 451},
};

int scoreColumn(double handValue)
{
    constexpr int columnThreeOfARank = 35;
    constexpr int columnThreeAces = 36;
    if (handValue == 30.5)
        return columnThreeOfARank;
    if (handValue == 91.5)
        return columnThreeAces;
    const int column = static_cast<int>(handValue);
    // Only hand values reach here; anything else draws nothing rather than reading outside the row.
    return column >= 0 && column < 37 ? column : 1;
}
