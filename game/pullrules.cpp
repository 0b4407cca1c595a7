#include "game/pullrules.h"

namespace pull {

namespace {
// Speed bands of the deceleration table, fastest first: the lowest speed of
// each band and the step taken within it.
struct Band {
    int lowestSpeed;
    int step;
};
constexpr Band DecelerationTable[] = {
    {501, 60}, {201, 12}, {101, 6}, {81, 5}, {61, 4}, {41, 3}, {21, 2}, {1, 1},
};

constexpr int MillisecondsPerSecond = 1000;

constexpr int FramesPerCycle = 13;
constexpr int Cursor1Frame = 1;
constexpr int Cursor2Frame = 5;
constexpr int Cursor3Frame = 9;
} // namespace

int DecelerationStep(int speed)
{
    for (const Band &band : DecelerationTable) {
        if (speed >= band.lowestSpeed)
            return band.step;
    }
    return 0;
}

QString MetresText(int pixels)
{
    return QString::number(pixels / PixelsPerMetre);
}

QString ResultText(int pixels)
{
    const int metres = pixels / PixelsPerMetre;
    const int centimetres = pixels % PixelsPerMetre / PixelsPerCentimetre;
    return QStringLiteral("記録： ") + QString::number(metres) + QStringLiteral("m ") +
           QString::number(centimetres) + QStringLiteral("cm");
}

int ElapsedSince(std::uint32_t now, std::uint32_t start)
{
    return static_cast<std::int32_t>(now - start);
}

bool TimeIsUp(int elapsed, int timeLimit)
{
    return elapsed >= timeLimit * MillisecondsPerSecond + MillisecondsPerSecond;
}

int SecondsLeft(int timeLimit, int elapsed)
{
    return timeLimit - elapsed / MillisecondsPerSecond;
}

CursorTick NextCursorFrame(int frame)
{
    CursorTick tick{frame + 1, 0};
    if (frame == Cursor1Frame)
        tick.cursor = 1;
    else if (frame == Cursor2Frame)
        tick.cursor = 2;
    else if (frame == Cursor3Frame)
        tick.cursor = 3;
    else if (frame == FramesPerCycle - 1)
        tick.nextFrame = 0;
    return tick;
}

bool LeavesStrip(int x, int y, int left, int right, int bottom)
{
    return y > bottom || x < left || x > right;
}

int WrapLine(int y, int bottom)
{
    return y > bottom ? 0 : y;
}

int FollowBlackArea(int top, int pulledPixels, int bottom)
{
    return top > bottom ? top : pulledPixels + BlackAreaTop;
}

} // namespace pull
