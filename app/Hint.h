// The coach: on H the expert's choice for the human's seat, shown by the
// keyboard frame on the control to tap and told in the account with its
// reason. It never moves for the player and names only cards the player sees.
#pragma once

#include "app/HintWords.h"
#include "platform/Platform.h"

constexpr char hintKey = 'H';

// Lets H ask for a hint at the keep question too.
void setBoxHelpKey();

// H on the board: frames the control to tap and tells the line. Does
// nothing unless the game waits for the human's move.
void giveHint(platform::Handle boardWindow);
// H at the keep question: tells the line; returns the answer to frame.
int giveKeepHint();
// After a tap on a card: when it selected the hinted hand card, the frame
// moves on to the table card to take.
void followHint(int tappedControl, platform::Handle boardWindow);
