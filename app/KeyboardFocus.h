// The keyboard focus over the board: which control Space or Enter would tap,
// and whether its frame shows. The frame appears once a key is used and goes
// at the next pointer tap; only controls a tap could reach now take focus.
#pragma once

#include "platform/Platform.h"

#include <initializer_list>

enum class FocusMove { left, right, up, down, next, previous };

// The focused control, or 0 when the human can tap none. Falls back to the
// first control in Tab order when the remembered one is hidden.
int focusedControl();
bool isFocusFrameShown();
// Shows the frame (repainting when it was hidden); false when nothing can take
// focus.
bool showFocusFrame(platform::Handle boardWindow);
// Moves the focus (showing the frame) and repaints; false when nothing can take
// focus.
bool moveFocus(FocusMove move, platform::Handle boardWindow);
// Puts the focus on a control the human can tap and shows the frame; false
// when it cannot take focus.
bool focusOnControl(int controlId, platform::Handle boardWindow);
// Frames up to two more controls beside the focused one (a hint's whole
// table), until the focus moves or the frame goes.
void frameAlso(std::initializer_list<int> controls, platform::Handle boardWindow);
// A pointer tap: the frame goes, the focus is kept for the next key.
void hideFocusFrame(platform::Handle boardWindow);
// Part of the board's paint: the frame around the focused control, when shown.
void paintFocusFrame(platform::Handle boardWindow);
// Forgets the focus and hides the frame, as at start-up.
void resetKeyboardFocus();
