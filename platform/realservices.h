// The services the game runs with: the real clock, Qt message boxes, the
// primary screen, the keyboard, and the sound output.
#pragma once

#include "platform/services.h"

namespace platform {

class RealClock : public Clock {
public:
    std::uint32_t tickCount() override;
    void sleep(int milliseconds) override;
    QDateTime localNow() override;
};

class QtMessageBoxes : public MessageBoxes {
public:
    int show(const QString &text, const QString &caption, unsigned flags) override;
};

class QtScreen : public Screen {
public:
    QSize size() override;
};

class QtKeyboard : public Keyboard {
public:
    bool shiftDown() override;
};

// Fills services() with the real implementations.
void installRealServices();

} // namespace platform
