#include "app/Sound.h"

#include "app/AccountPanel.h"
#include "model/GameEvents.h"
#include "model/GameState.h"

#include <algorithm>
#include <cstdio>
#include <utility>

namespace {

constexpr std::string_view firstLine = "zarta settings 1";
constexpr std::string_view soundWord = "sound ";

// The hooks ours replaced; each of ours calls its own first.
GameWatcher replaced;
// Lives as the round was dealt, by seat: lives fall only as a round is
// settled, so what a settlement took is the difference.
std::int16_t livesAtDeal[seatCount + 1] = {};

// Said once a run: a setting that cannot be kept is no reason to stop playing.
bool problemSaid = false;

void sayProblem(const std::string& problem)
{
    if (std::exchange(problemSaid, true))
        return;
    std::fputs(("zarta: " + problem + "\n").c_str(), stderr);
}

void noteLives()
{
    std::copy(std::begin(game.lives), std::end(game.lives), std::begin(livesAtDeal));
}

void onDealt()
{
    if (replaced.dealt)
        replaced.dealt();
    noteLives();
}

void onExchanged(Seat seat, int handPosition, int tablePosition)
{
    if (replaced.exchanged)
        replaced.exchanged(seat, handPosition, tablePosition);
    platform::playCue(platform::Cue::cardLaid);
}

void onSettling(bool scored)
{
    if (replaced.settling)
        replaced.settling(scored);
    // A round dealt again shows no scores and takes no life.
    if (!scored)
        return;
    platform::playCue(platform::Cue::roundResult);
    for (Seat seat = seatSouth; seat <= seatEast; ++seat) {
        for (int lost = livesAtDeal[seat] - game.lives[seat]; lost > 0; --lost)
            platform::playCue(platform::Cue::lifeLost);
    }
    noteLives();
}

void onGameOver(bool won)
{
    if (replaced.gameOver)
        replaced.gameOver(won);
    platform::playCue(won ? platform::Cue::gameWon : platform::Cue::gameLost);
}

// Puts `ours` in place of what `installed` holds, keeping that in `before`
// unless it is `ours` already.
template <class Hook>
void replaceHook(Hook& installed, Hook& before, Hook ours)
{
    if (installed != ours)
        before = std::exchange(installed, ours);
}

// The next line of `text`, without its end; `text` moves past it.
std::string_view nextLine(std::string_view& text)
{
    const std::size_t end = std::min(text.find('\n'), text.size());
    const std::string_view line = text.substr(0, end);
    text.remove_prefix(std::min(end + 1, text.size()));
    return line;
}

std::string settingsPlace()
{
    return platform::playerDataPlace(settingsName);
}

// As the player last chose; on when nothing was chosen or it cannot be read.
bool storedSound()
{
    std::string problem;
    std::optional<bool> on = true;
    // Read only: what is there stays as it is. A place that cannot be read
    // is said when a choice cannot be kept there.
    platform::changePlayerData(
        settingsName,
        [&on](const std::string* text) {
            if (text)
                on = soundSettingIn(*text);
            return text ? *text : std::string();
        },
        problem);
    if (!on)
        sayProblem("your settings in " + settingsPlace() + " could not be read, so sound is on; M turns it off");
    return on.value_or(true);
}

}  // namespace

void soundGameEvents()
{
    noteLives();
    replaceHook(gameWatcher.dealt, replaced.dealt, onDealt);
    replaceHook(gameWatcher.exchanged, replaced.exchanged, onExchanged);
    replaceHook(gameWatcher.settling, replaced.settling, onSettling);
    replaceHook(gameWatcher.gameOver, replaced.gameOver, onGameOver);
}

void startSound(bool mute)
{
    soundGameEvents();
    platform::setSoundOn(!mute && storedSound());
}

void toggleSound()
{
    const bool on = !platform::soundOn();
    platform::setSoundOn(on);
    std::string problem;
    if (!platform::changePlayerData(
            settingsName, [on](const std::string* stored) { return settingsWithSound(stored, on); }, problem))
        sayProblem("your sound setting is not kept: " + problem);
    noteAccountLine(on ? "Sound on." : "Sound off.", "{\"kind\":\"sound\"}");
}

std::optional<bool> soundSettingIn(std::string_view text)
{
    if (nextLine(text) != firstLine)
        return std::nullopt;
    bool on = true;
    while (!text.empty()) {
        const std::string_view line = nextLine(text);
        // Another setting, perhaps of a later version: not this one's to judge.
        if (!line.starts_with(soundWord))
            continue;
        const std::string_view value = line.substr(soundWord.size());
        if (value != "on" && value != "off")
            return std::nullopt;
        on = value == "on";
    }
    return on;
}

std::string settingsWithSound(const std::string* stored, bool on)
{
    std::string text = std::string(firstLine) + "\n";
    if (stored && soundSettingIn(*stored)) {
        std::string_view rest = *stored;
        nextLine(rest);
        while (!rest.empty()) {
            const std::string_view line = nextLine(rest);
            if (!line.empty() && !line.starts_with(soundWord))
                text.append(line).append("\n");
        }
    }
    return text + std::string(soundWord) + (on ? "on" : "off") + "\n";
}
