#include "ui/ImageTables.h"

#include "model/HandEvaluation.h"
#include "resources/ResourceIds.h"

const std::uint16_t LivesImagesUpright[5] = {res::imageLivesUpright0, res::imageLivesUpright1, res::imageLivesUpright2,
                                             res::imageLivesUpright3, res::imageLivesUpright4};
const std::uint16_t LivesImagesSide[5] = {res::imageLivesSide0, res::imageLivesSide1, res::imageLivesSide2,
                                          res::imageLivesSide3, res::imageLivesSide4};

const std::int32_t LivesOriginX[5] = {0, 150, 7, 58, 189};
const std::int32_t LivesOriginY[5] = {0, 189, 150, 7, 58};

const std::int32_t BubbleOriginX[5] = {0, 51, 50, 141, 161};
const std::int32_t BubbleOriginY[5] = {0, 161, 51, 50, 141};

const std::uint16_t BubbleBlankImages[5] = {0, res::imageBlankUpright, res::imageBlankSide, res::imageBlankUpright,
                                            res::imageBlankSide};

// Stop for seats 1..4, then Pass for seats 1..4; entries 0 and 5 name no seat.
const std::uint16_t BubbleCallImages[10] = {
    0, res::imageStopBubbleSouth, res::imageStopBubbleWest, res::imageStopBubbleNorth, res::imageStopBubbleEast,
    0, res::imagePassBubbleSouth, res::imagePassBubbleWest, res::imagePassBubbleNorth, res::imagePassBubbleEast,
};

// Row = seat, column = score column. Column 0 blanks the spot; column 24
// (seven, eight and nine of one suit) has a bubble of its own, since that
// hand really occurs and would otherwise show no score.
// clang-format off
const std::uint16_t ScoreImages[5][scoreColumnCount] = {
    {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
    {res::imageBlankUpright, 0, 0, 0, 0, 0, 0, 408, 389, 390, 391, 392, 0, 0, 0, 393, 394, 395, 396, 397, 398, 399, 0, 0, res::imageScore24South, 400, 401, 402, 403, 404, 405, 407, 0, 0, 0, 406, 388},
    {res::imageBlankSide, 0, 0, 0, 0, 0, 0, 429, 410, 411, 412, 413, 0, 0, 0, 414, 415, 416, 417, 418, 419, 420, 0, 0, res::imageScore24West, 421, 422, 423, 424, 425, 426, 428, 0, 0, 0, 427, 409},
    {res::imageBlankUpright, 0, 0, 0, 0, 0, 0, 450, 431, 432, 433, 434, 0, 0, 0, 435, 436, 437, 438, 439, 440, 441, 0, 0, res::imageScore24North, 442, 443, 444, 445, 446, 447, 449, 0, 0, 0, 448, 430},
    {res::imageBlankSide, 0, 0, 0, 0, 0, 0, 471, 452, 453, 454, 455, 0, 0, 0, 456, 457, 458, 459, 460, 461, 462, 0, 0, res::imageScore24East, 463, 464, 465, 466, 467, 468, 470, 0, 0, 0, 469, 451},
};
// clang-format on

int scoreColumn(double handValue)
{
    constexpr int columnThreeOfARank = 35;
    constexpr int columnThreeAces = 36;
    if (handValue == valueThreeOfARank)
        return columnThreeOfARank;
    if (handValue == valueThreeAces)
        return columnThreeAces;
    const int column = static_cast<int>(handValue);
    // Only hand values reach here; anything else draws nothing rather than reading outside the row.
    return column >= 0 && column < scoreColumnCount ? column : 1;
}
