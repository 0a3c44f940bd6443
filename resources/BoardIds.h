// Control and command ids of the board window.
#pragma once

namespace ids {

// Card controls: table 1..3, then three per seat south, west, north, east.
constexpr int controlTable1 = 11111;
constexpr int controlTable2 = 11112;
constexpr int controlTable3 = 11113;
constexpr int controlSouth1 = 11114;
constexpr int controlWest1 = 11117;
constexpr int controlNorth1 = 11120;
constexpr int controlEast1 = 11123;
constexpr int controlLastCard = 11125;
constexpr int cardControlCount = 15;

// The dealer's second hand: three upright ids (south, north) and three sideways ids (west, east).
constexpr int controlSecondUpright1 = 11126;
constexpr int controlSecondSide1 = 11129;
constexpr int controlSecondLast = 11131;

constexpr int controlStop = 11132;
constexpr int controlPass = 11133;

// Commands.
constexpr int commandClose = 1;  // Ctrl+Q
constexpr int commandMenuButton = 40001;
constexpr int commandAbout = 40003;
constexpr int commandExit = 40004;
constexpr int commandNew = 40005;

// First card control of a seat 1..4.
constexpr int firstControlOfSeat(int seat)
{
    return seat == 1 ? controlSouth1 : seat == 2 ? controlWest1 : seat == 3 ? controlNorth1 : controlEast1;
}

constexpr bool isCardControl(int id)
{
    return id >= controlTable1 && id <= controlLastCard;
}

}  // namespace ids
