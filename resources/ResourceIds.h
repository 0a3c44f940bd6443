// Numeric ids of the program's resources: strings, menus, accelerators,
// dialogs, the icon and every image the board draws.
#pragma once

namespace res {

// Strings.
constexpr int stringTitle = 1;       // "Zarta"
constexpr int stringClassName = 3;   // "ZARTA"
constexpr int stringGameMenu = 104;  // "Game"

// Menu and menu bar share an id; accelerators; dialog; icon.
constexpr int menuGame = 102;
constexpr int menuBarGame = 102;
constexpr int acceleratorsMain = 3;
constexpr int dialogAbout = 103;
constexpr int iconProgram = 101;

// Images (8 bits per pixel).
constexpr int imageBackground = 105;   // 240 x 268
constexpr int imageBackUpright = 273;  // 29 x 41
constexpr int imageBackSide = 274;     // 41 x 29
constexpr int imageStopNormal = 279;   // 40 x 20
constexpr int imagePassNormal = 280;
constexpr int imageStopPressed = 281;
constexpr int imagePassPressed = 282;
constexpr int imageBlankSide = 364;     // 28 x 47 bubble spot, west and east
constexpr int imageBlankUpright = 365;  // 47 x 28 bubble spot, south and north

// Lives panels by lives left, upright (south, north) and sideways (west, east).
constexpr int imageLivesUpright0 = 266;
constexpr int imageLivesUpright1 = 270;
constexpr int imageLivesUpright2 = 267;
constexpr int imageLivesUpright3 = 268;
constexpr int imageLivesUpright4 = 269;
constexpr int imageLivesSide0 = 262;
constexpr int imageLivesSide1 = 261;
constexpr int imageLivesSide2 = 265;
constexpr int imageLivesSide3 = 263;
constexpr int imageLivesSide4 = 264;

// "Stop" and "Pass" speech bubbles, one per seat.
constexpr int imageStopBubbleSouth = 363;
constexpr int imageStopBubbleWest = 361;
constexpr int imageStopBubbleNorth = 362;
constexpr int imageStopBubbleEast = 360;
constexpr int imagePassBubbleSouth = 359;
constexpr int imagePassBubbleWest = 357;
constexpr int imagePassBubbleNorth = 358;
constexpr int imagePassBubbleEast = 356;

// Score bubbles for a hand worth 24, one per seat (south, west, north, east).
constexpr int imageScore24South = 472;
constexpr int imageScore24West = 473;
constexpr int imageScore24North = 474;
constexpr int imageScore24East = 475;

// Solid ink of the keyboard focus frame, cut into strips as it is drawn.
constexpr int imageFocusInk = 476;  // 48 x 48

}  // namespace res
