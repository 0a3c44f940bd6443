#include "ui/DealAnimation.h"

#include "resources/BoardIds.h"
#include "resources/ResourceIds.h"
#include "ui/Controls.h"
#include "ui/Drawing.h"

namespace {

struct Point {
    int x;
    int y;
};

constexpr int stepCount = 4;

struct SeatMotion {
    int firstControlId;
    int imageId;
    int width;
    int height;
    Point start[3];
    Point keep[stepCount][3];
    Point exchange[stepCount][3];
};

// Indexed by seat; entry 0 unused.
// clang-format off
constexpr SeatMotion motions[5] = {
    {},
    {ids::controlSecondUpright1, res::imageBackUpright, 29, 41,
     {{60, 148}, {90, 148}, {120, 148}},
     {{{60, 138}, {90, 138}, {120, 138}},
      {{60, 128}, {90, 128}, {120, 128}},
      {{60, 118}, {90, 118}, {120, 118}},
      {{60, 108}, {90, 108}, {120, 108}}},
     {{{67, 158}, {97, 158}, {127, 158}},
      {{67, 168}, {97, 168}, {127, 168}},
      {{67, 178}, {97, 178}, {127, 178}},
      {{67, 188}, {97, 188}, {127, 188}}}},
    {ids::controlSecondSide1, res::imageBackSide, 41, 29,
     {{50, 60}, {50, 90}, {50, 120}},
     {{{56, 60}, {60, 94}, {64, 115}},
      {{62, 70}, {71, 94}, {82, 110}},
      {{68, 80}, {93, 94}, {110, 105}},
      {{74, 90}, {104, 94}, {134, 100}}},
     {{{40, 60}, {40, 90}, {40, 120}},
      {{30, 60}, {30, 90}, {30, 120}},
      {{20, 60}, {20, 90}, {20, 120}},
      {{10, 60}, {10, 90}, {10, 120}}}},
    {ids::controlSecondUpright1, res::imageBackUpright, 29, 41,
     {{90, 50}, {120, 50}, {150, 50}},
     {{{74, 40}, {104, 40}, {134, 40}},
      {{74, 30}, {104, 30}, {134, 30}},
      {{74, 20}, {104, 20}, {134, 20}},
      {{74, 10}, {104, 10}, {134, 10}}},
     {{{90, 60}, {120, 60}, {150, 60}},
      {{90, 70}, {120, 70}, {150, 70}},
      {{90, 80}, {120, 80}, {150, 80}},
      {{90, 90}, {120, 90}, {150, 90}}}},
    {ids::controlSecondSide1, res::imageBackSide, 41, 29,
     {{148, 90}, {148, 120}, {148, 150}},
     {{{137, 60}, {137, 94}, {145, 115}},
      {{106, 70}, {126, 94}, {141, 110}},
      {{95, 80}, {115, 94}, {137, 105}},
      {{74, 90}, {104, 94}, {134, 100}}},
     {{{158, 90}, {158, 120}, {158, 150}},
      {{168, 90}, {168, 120}, {168, 150}},
      {{178, 90}, {178, 120}, {178, 150}},
      {{188, 90}, {188, 120}, {188, 150}}}},
};
// clang-format on

void placeSecondHand(const SeatMotion& motion, const Point (&positions)[3])
{
    for (int slot = 0; slot < 3; ++slot) {
        platform::moveWindow(boardControls.secondHand[slot], positions[slot].x, positions[slot].y, motion.width,
                             motion.height, true);
        drawImageOnControl(boardControls.secondHand[slot], motion.imageId);
    }
}

}  // namespace

void showSecondHand(Seat seat, platform::Handle boardWindow)
{
    const SeatMotion& motion = motions[seat];
    for (int slot = 0; slot < 3; ++slot) {
        boardControls.secondHand[slot] = platform::createWindow(
            "BUTTON", "", platform::styleVisible | platform::styleChild | platform::styleOwnerDraw,
            motion.start[slot].x, motion.start[slot].y, motion.width, motion.height, boardWindow,
            motion.firstControlId + slot);
        drawImageOnControl(boardControls.secondHand[slot], motion.imageId);
    }
    pause(pauseThinking);
}

void moveSecondHand(Seat seat, DealerChoice answer, platform::Handle boardWindow)
{
    const SeatMotion& motion = motions[seat];
    const auto& steps = answer == DealerChoice::keep ? motion.keep : motion.exchange;
    requestRepaint(boardWindow);
    placeSecondHand(motion, steps[0]);
    for (int step = 1; step < stepCount; ++step) {
        requestRepaint(boardWindow);
        pause(pauseAnimationStep);
        placeSecondHand(motion, steps[step]);
    }
    requestRepaint(boardWindow);
    pause(pauseAnimationStep);
    for (platform::Handle& control : boardControls.secondHand) {
        platform::destroyWindow(control);
        control = 0;
    }
    requestRepaint(boardWindow);
}
