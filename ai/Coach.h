// The coach: the expert's advice for the human's seat, from what the human
// can see and nothing more.
#pragma once

#include "ai/Expert.h"

[[nodiscard]] ExpertAdvice humanAdvisedMove();
[[nodiscard]] KeepAdvice humanAdvisedToKeep();
