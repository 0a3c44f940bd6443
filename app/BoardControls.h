// Where the 17 controls of the board sit.
#pragma once

struct ControlPlace {
    int id;
    int x, y, width, height;
};

// In creation order: 15 card controls (11111..11125), then Stop and Pass.
extern const ControlPlace BoardControlPlaces[17];
