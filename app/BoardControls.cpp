#include "app/BoardControls.h"

#include "resources/BoardIds.h"

const ControlPlace BoardControlPlaces[17] = {
    {11111, 74, 98, 29, 41},   // table card 1
    {11112, 104, 98, 29, 41},  // table card 2
    {11113, 134, 98, 29, 41},  // table card 3
    {11114, 60, 190, 29, 41},  // south (human) cards
    {11115, 90, 190, 29, 41},
    {11116, 120, 190, 29, 41},
    {11117, 8, 60, 41, 29},    // west cards
    {11118, 8, 90, 41, 29},
    {11119, 8, 120, 41, 29},
    {11120, 90, 8, 29, 41},    // north cards
    {11121, 120, 8, 29, 41},
    {11122, 150, 8, 29, 41},
    {11123, 190, 90, 41, 29},  // east cards
    {11124, 190, 120, 41, 29},
    {11125, 190, 150, 41, 29},
    {ids::controlStop, 60, 167, 40, 20},
    {ids::controlPass, 141, 167, 40, 20},
};
