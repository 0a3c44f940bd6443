// Composing the pictures from the art. Each function returns finished
// pixels; Main.cpp gives them their ids.
#pragma once

#include "Art.h"
#include "Canvas.h"

#include <string_view>
#include <vector>

namespace generator {

struct Picture {
    int id;
    Canvas canvas;
};

// Cards.cpp. Upright cards are 29 x 41, sideways ones 41 x 29. A sideways
// back is the upright one turned clockwise; a sideways face lies on its side
// with its rank and pips upright.
constexpr int cardWidth = 29;
constexpr int cardHeight = 41;
enum class Orientation { upright, sideways };
Canvas cardFace(const Art& art, int suit, int rank, Orientation orientation);
Canvas veiled(const Art& art, const Canvas& face);
Canvas cardBack(const Art& art);
void addCards(const Art& art, std::vector<Picture>& pictures);

// Board.cpp: lives panels (upright 31 x 43), the two buttons and the background.
Canvas livesPanel(const Art& art, int lives);
void addPanelsAndButtons(const Art& art, std::vector<Picture>& pictures);
Canvas background(const Art& art);

// Bubbles.cpp: speech bubbles, score bubbles and blank spots.
void addBubbles(const Art& art, std::vector<Picture>& pictures);

// A line of text in the font of the bubbles and buttons, "#" for ink.
constexpr int fontCapHeight = 9;  // rows of a capital; "p" hangs below
Sprite textLine(const Art& art, std::string_view text);

}  // namespace generator
