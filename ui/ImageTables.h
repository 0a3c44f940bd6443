// Which image shows lives, bubbles and scores, by seat.
#pragma once

#include <cstdint>

extern const std::uint16_t LivesImagesUpright[5];  // by lives 0..4, south and north
extern const std::uint16_t LivesImagesSide[5];     // by lives 0..4, west and east
extern const std::int32_t BubbleOriginX[5];        // by seat; entry 0 unused
extern const std::int32_t BubbleOriginY[5];
extern const std::uint16_t BubbleBlankImages[5];  // by seat
extern const std::uint16_t BubbleCallImages[10];  // by kind * 5 + seat, kind 0 Stop, 1 Pass
constexpr int scoreColumnCount = 37;
extern const std::uint16_t ScoreImages[5][scoreColumnCount];  // by seat and score column; 0 = no bubble

// Lives displays, top-left corners, by seat.
extern const std::int32_t LivesOriginX[5];
extern const std::int32_t LivesOriginY[5];

// Score column of a hand value: 35 for 30.5, 36 for 91.5, else its whole part.
[[nodiscard]] int scoreColumn(double handValue);
