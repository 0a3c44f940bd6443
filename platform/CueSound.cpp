#include "platform/CueSound.h"

#include <algorithm>
#include <array>
#include <span>

namespace platform::sound {

namespace {

enum class Wave { sine, triangle };

// One note: when it starts and how long it rings, in seconds; its pitch in
// hertz, gliding evenly from `fromHz` to `toHz`; its wave; its loudness at
// the peak, 0..1. Notes that overlap add up.
struct Note {
    float start;
    float length;
    float fromHz;
    float toHz;
    Wave wave;
    float level;
};

constexpr float noteAFlat3 = 207.65f;
constexpr float noteC4 = 261.63f;
constexpr float noteEFlat4 = 311.13f;
constexpr float noteG4 = 392.00f;
constexpr float noteAFlat4 = 415.30f;
constexpr float noteA4 = 440.00f;
constexpr float noteC5 = 523.25f;
constexpr float noteE5 = 659.26f;
constexpr float noteG5 = 783.99f;
constexpr float noteC6 = 1046.50f;

// A card put down: a short wooden knock with a click on top.
constexpr Note cardLaid[] = {
    {0.0f, 0.07f, 520.0f, 430.0f, Wave::triangle, 0.35f},
    {0.0f, 0.025f, 1560.0f, 1560.0f, Wave::sine, 0.10f},
};
// A life taken: a low note sliding down.
constexpr Note lifeLost[] = {
    {0.0f, 0.28f, noteEFlat4, noteAFlat3, Wave::triangle, 0.40f},
};
// Stop: two firm knocks on one pitch.
constexpr Note stop[] = {
    {0.0f, 0.08f, noteG4, noteG4, Wave::triangle, 0.40f},
    {0.12f, 0.10f, noteG4, noteG4, Wave::triangle, 0.40f},
};
// Pass: one soft note that sinks a little.
constexpr Note pass[] = {
    {0.0f, 0.15f, noteA4, noteAFlat4, Wave::sine, 0.35f},
};
// Your turn: a rising fifth, bright and short, that asks for a move.
constexpr Note yourTurn[] = {
    {0.0f, 0.09f, noteC5, noteC5, Wave::sine, 0.30f},
    {0.08f, 0.22f, noteG5, noteG5, Wave::sine, 0.30f},
};
// The round's result: two bell strokes, each with its octave faintly above.
constexpr Note roundResult[] = {
    {0.0f, 0.25f, noteE5, noteE5, Wave::sine, 0.30f},
    {0.0f, 0.25f, 2 * noteE5, 2 * noteE5, Wave::sine, 0.06f},
    {0.15f, 0.25f, noteC5, noteC5, Wave::sine, 0.30f},
    {0.15f, 0.25f, 2 * noteC5, 2 * noteC5, Wave::sine, 0.06f},
};
// A won game: the major chord climbing to the octave.
constexpr Note gameWon[] = {
    {0.0f, 0.20f, noteC5, noteC5, Wave::sine, 0.25f},
    {0.09f, 0.20f, noteE5, noteE5, Wave::sine, 0.25f},
    {0.18f, 0.20f, noteG5, noteG5, Wave::sine, 0.25f},
    {0.27f, 0.25f, noteC6, noteC6, Wave::sine, 0.25f},
};
// A lost game: the minor chord falling, its last note sagging.
constexpr Note gameLost[] = {
    {0.0f, 0.20f, noteG4, noteG4, Wave::triangle, 0.30f},
    {0.14f, 0.20f, noteEFlat4, noteEFlat4, Wave::triangle, 0.30f},
    {0.28f, 0.27f, noteC4, 0.97f * noteC4, Wave::triangle, 0.30f},
};

// By Cue, in its order.
constexpr std::array<std::span<const Note>, cueCount> recipes = {
    cardLaid, lifeLost, stop, pass, yourTurn, roundResult, gameWon, gameLost,
};

constexpr std::array<const char*, cueCount> names = {
    "cardLaid", "lifeLost", "stop", "pass", "yourTurn", "roundResult", "gameWon", "gameLost",
};

int samplesIn(float seconds)
{
    return static_cast<int>(seconds * sampleRate + 0.5f);
}

// One turn of the wave at `phase` (0..1), starting at 0 and rising. The
// sine is a parabola refined once, within 0.1% of the true curve: the
// library's sine would bring its tables into the page's program.
float waveAt(Wave wave, float phase)
{
    if (wave == Wave::sine) {
        const float turn = phase < 0.5f ? phase : phase - 1.0f;  // -0.5..0.5
        const float parabola = 8.0f * turn - 16.0f * turn * (turn < 0.0f ? -turn : turn);
        return parabola + 0.225f * parabola * ((parabola < 0.0f ? -parabola : parabola) - 1.0f);
    }
    if (phase < 0.25f)
        return 4.0f * phase;
    return phase < 0.75f ? 2.0f - 4.0f * phase : 4.0f * phase - 4.0f;
}

void addNote(std::vector<float>& samples, const Note& note)
{
    const int first = samplesIn(note.start);
    const int count = samplesIn(note.length);
    // Rises over 5 ms: a sound that starts at full strength clicks.
    const float rise = 0.005f * sampleRate;
    float phase = 0.0f;
    for (int i = 0; i < count; ++i) {
        const float along = static_cast<float>(i) / static_cast<float>(count);
        // Then dies away to nothing at its end, as a struck sound does.
        const float envelope = std::min(1.0f, static_cast<float>(i) / rise) * (1.0f - along) * (1.0f - along);
        samples[static_cast<std::size_t>(first + i)] += note.level * envelope * waveAt(note.wave, phase);
        phase += (note.fromHz + (note.toHz - note.fromHz) * along) / sampleRate;
        if (phase >= 1.0f)
            phase -= 1.0f;
    }
}

}  // namespace

std::vector<float> cueSamples(Cue cue)
{
    if (static_cast<std::size_t>(cue) >= recipes.size())
        return {};
    const std::span<const Note> notes = recipes[static_cast<std::size_t>(cue)];
    int end = 0;
    for (const Note& note : notes)
        end = std::max(end, samplesIn(note.start) + samplesIn(note.length));
    // One silent sample more, so the sound ends on silence whatever its last note does.
    std::vector<float> samples(static_cast<std::size_t>(end) + 1, 0.0f);
    for (const Note& note : notes)
        addNote(samples, note);
    return samples;
}

const char* cueName(Cue cue)
{
    return static_cast<std::size_t>(cue) < names.size() ? names[static_cast<std::size_t>(cue)] : "";
}

}  // namespace platform::sound
