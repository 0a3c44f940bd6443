// The coach: the expert's advice for the human's seat, from what the human
// can see and nothing more.
#pragma once

#include "ai/Expert.h"

// The human's seat as the human sees it.
[[nodiscard]] SeatView humanView();
[[nodiscard]] ExpertAdvice humanAdvisedMove();
[[nodiscard]] KeepAdvice humanAdvisedToKeep();
