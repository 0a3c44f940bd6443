#include "app/BoardControls.h"

#include "resources/BoardIds.h"

// clang-format off
const ControlPlace BoardControlPlaces[boardControlCount] = {
    {ids::controlTable1, 74, 98, 29, 41},
    {ids::controlTable2, 104, 98, 29, 41},
    {ids::controlTable3, 134, 98, 29, 41},
    {ids::controlSouth1, 60, 190, 29, 41},  // the human's cards
    {ids::controlSouth1 + 1, 90, 190, 29, 41},
    {ids::controlSouth1 + 2, 120, 190, 29, 41},
    {ids::controlWest1, 8, 60, 41, 29},
    {ids::controlWest1 + 1, 8, 90, 41, 29},
    {ids::controlWest1 + 2, 8, 120, 41, 29},
    {ids::controlNorth1, 90, 8, 29, 41},
    {ids::controlNorth1 + 1, 120, 8, 29, 41},
    {ids::controlNorth1 + 2, 150, 8, 29, 41},
    {ids::controlEast1, 190, 90, 41, 29},
    {ids::controlEast1 + 1, 190, 120, 41, 29},
    {ids::controlEast1 + 2, 190, 150, 41, 29},
    {ids::controlStop, 60, 167, 40, 20},
    {ids::controlPass, 141, 167, 40, 20},
};
// clang-format on
