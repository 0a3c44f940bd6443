// The 17 controls of the board and showing or hiding them.
#pragma once

struct ControlPlace {
    int id;
    int x, y, width, height;
};

// In creation order: 15 card controls (11111..11125), then Stop and Pass.
extern const ControlPlace BoardControlPlaces[17];

// Flags in the order 11111..11125: 0 hides, 1 shows. Returns 1.
int showCardControls(const int (&flags)[15]);
int showCardControls(int flag);  // the same flag for all fifteen
int showStopPass(int stopFlag, int passFlag);
