// The game's sound as the player has it: which of the game's events sound a
// cue, and whether the player hears them (M, --mute, remembered between
// runs). The bubbles and the offer of Stop and Pass sound where the board
// draws them (ui/); the cues themselves are the platform's.
#pragma once

#include "platform/Platform.h"

#include <optional>
#include <string>
#include <string_view>

// Sounds the events no drawing of their own marks: an exchange, the round's
// result and each life it takes, the game won or lost. Each hook calls the
// one it replaces first, so this goes after the account and the record of
// play; called again, it keeps what it replaced the first time.
void soundGameEvents();

// The desktop's sound as the program starts: the game's events sounded,
// and on or off as the player last chose, unless `mute` (--mute) silences
// this run.
void startSound(bool mute);

constexpr platform::Param soundKey = 'M';
// M: sound on or off, kept as the player's setting from then on.
void toggleSound();

// The player's settings as kept: a first line naming them, then a line for
// each setting, "sound on" or "sound off".
constexpr const char* settingsName = "settings";
// Whether `text` asks for sound (yes when it does not say); nothing when it
// is no settings this program wrote.
[[nodiscard]] std::optional<bool> soundSettingIn(std::string_view text);
// What to keep: `stored` (null for none) with sound on or off, its other
// settings as they were; a fresh text when `stored` cannot be read.
[[nodiscard]] std::string settingsWithSound(const std::string* stored, bool on);
