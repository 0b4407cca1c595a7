// Rules of the pull game that need no window: how coasting paper slows down,
// how the length and the time are told, and the play cursor's frames.
#pragma once

#include <QString>

#include <cstdint>

namespace pull {

// Lengths are counted in pixels of paper.
inline constexpr int PixelsPerMetre = 400;
inline constexpr int PixelsPerCentimetre = 4;

// The round's clock: one-second countdown ticks, then 50 ms play ticks.
inline constexpr int CountdownInterval = 1000;
inline constexpr int PlayInterval = 50;
inline constexpr int CountdownStart = 3;
// Seconds shown once time is up; mouse moves pull nothing from then on.
inline constexpr int TimeUp = -1;

// Where the paper's dashed line and the black area stand when a round begins.
inline constexpr int PaperLineStart = 10;
inline constexpr int BlackAreaTop = 64;

// How much a coasting paper at `speed` pixels per tick slows down in one tick.
// Never takes a positive speed below 0.
int DecelerationStep(int speed);

// Whole metres, as the length display shows them.
QString MetresText(int pixels);

// "記録： Mm Ccm": whole metres and the centimetres within the metre.
QString ResultText(int pixels);

// Milliseconds since `start`, taken modulo 2^32 and read as signed, so a round
// that spans the tick count's wrap is timed correctly.
int ElapsedSince(std::uint32_t now, std::uint32_t start);

// Play lasts the time limit plus one second: the display counts down to 0 and
// holds it for a whole second.
bool TimeIsUp(int elapsed, int timeLimit);
int SecondsLeft(int timeLimit, int elapsed);

// The play cursor cycles through 13 frames: frame 1 shows cursor 1, frame 5
// cursor 2, frame 9 cursor 3; the frame after 12 is 0.
struct CursorTick {
    int nextFrame;
    int cursor; // the custom cursor to show now, or 0 for no change
};
CursorTick NextCursorFrame(int frame);

// A pull ends when the pointer leaves the strip of paper: below the window's
// bottom or beyond its sides. The sides themselves are still paper.
bool LeavesStrip(int x, int y, int left, int right, int bottom);

// The dashed line starts again from the top once it has passed the bottom.
int WrapLine(int y, int bottom);

// The black area follows the paper's end until it has left the window.
int FollowBlackArea(int top, int pulledPixels, int bottom);

} // namespace pull
