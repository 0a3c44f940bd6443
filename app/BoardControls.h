// Where the 17 controls of the board sit.
#pragma once

#include "resources/BoardIds.h"

struct ControlPlace {
    int id;
    int x, y, width, height;
};

// In creation order: 15 card controls (11111..11125), then Stop and Pass.
constexpr int boardControlCount = ids::cardControlCount + 2;
extern const ControlPlace BoardControlPlaces[boardControlCount];
