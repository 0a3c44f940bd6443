#include "model/CardCatalogue.h"

#include "resources/ResourceIds.h"

// Columns: sideFace, uprightFace, points, suit, rank, sideFaceSelected, uprightFaceSelected.
// The selected ids follow no rule; they are taken as they stand.
// clang-format off
const CardRecord CardCatalogue[32] = {
    {216, 164, 11, 1, 14, 295, 327},  // ace of clubs
    {210, 158, 7, 1, 7, 289, 321},
    {211, 159, 8, 1, 8, 290, 322},
    {212, 160, 9, 1, 9, 291, 323},
    {213, 161, 10, 1, 10, 292, 324},
    {214, 162, 10, 1, 11, 293, 325},
    {215, 163, 10, 1, 12, 294, 326},
    {204, 152, 10, 1, 13, 283, 320},  // king of clubs
    {229, 177, 11, 2, 14, 303, 334},  // ace of diamonds
    {223, 171, 7, 2, 7, 297, 329},
    {224, 172, 8, 2, 8, 298, 330},
    {225, 173, 9, 2, 9, 299, 331},
    {226, 174, 10, 2, 10, 300, 332},
    {227, 175, 10, 2, 11, 301, 333},
    {228, 176, 10, 2, 12, 302, 328},
    {217, 165, 10, 2, 13, 296, 335},  // king of diamonds
    {242, 190, 11, 3, 14, 310, 342},  // ace of hearts
    {236, 184, 7, 3, 7, 305, 337},
    {237, 185, 8, 3, 8, 306, 338},
    {238, 186, 9, 3, 9, 307, 339},
    {239, 187, 10, 3, 10, 308, 340},
    {240, 188, 10, 3, 11, 309, 341},
    {241, 189, 10, 3, 12, 304, 336},
    {230, 178, 10, 3, 13, 311, 343},  // king of hearts
    {255, 203, 11, 4, 14, 319, 354},  // ace of spades
    {249, 197, 7, 4, 7, 313, 349},
    {250, 198, 8, 4, 8, 314, 350},
    {251, 199, 9, 4, 9, 315, 351},
    {252, 200, 10, 4, 10, 316, 352},
    {253, 201, 10, 4, 11, 317, 353},
    {254, 202, 10, 4, 12, 318, 348},
    {243, 191, 10, 4, 13, 312, 355},  // king of spades
};
// clang-format on

CardRecord uprightBack()
{
    constexpr auto back = static_cast<std::int16_t>(res::imageBackUpright);
    return CardRecord{back, back, 0, 0, 0, back, back};
}

CardRecord sideBack()
{
    constexpr auto back = static_cast<std::int16_t>(res::imageBackSide);
    return CardRecord{back, back, 0, 0, 0, back, back};
}
