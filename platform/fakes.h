// Stand-ins for the outside world, for tests: a clock that only moves when
// told, message boxes that are recorded and answered by the test, and sound,
// music, screen and keyboard that record what the game asked of them.
#pragma once

#include "platform/services.h"

#include <QList>
#include <QStringList>

#include <deque>

namespace platform {

class FakeClock : public Clock {
public:
    std::uint32_t ticks = 1000;
    QDateTime now = QDateTime(QDate(2001, 3, 5), QTime(9, 7, 3));
    QList<int> sleeps;

    std::uint32_t tickCount() override { return ticks; }
    // A wait takes no time in a test; it moves the clock on and is recorded.
    void sleep(int milliseconds) override;
    QDateTime localNow() override { return now; }
    void advance(std::uint32_t milliseconds) { ticks += milliseconds; }
};

struct ShownMessage {
    QString text;
    QString caption;
    unsigned flags;
};

class FakeMessageBoxes : public MessageBoxes {
public:
    QList<ShownMessage> shown;
    // Answers for MB_YESNO boxes, taken in order; IDNO when none is left.
    std::deque<int> answers;
    // Called as each box is shown, before it is answered.
    std::function<void(const ShownMessage &)> onShow;

    int show(const QString &text, const QString &caption, unsigned flags) override;
    QStringList texts() const;
};

class FakeSound : public Sound {
public:
    struct Call {
        QString name;
        unsigned flags;
    };
    QList<Call> calls;
    QList<unsigned> beeps;

    void playSound(const QString &name, unsigned flags) override { calls.append({name, flags}); }
    void messageBeep(unsigned type) override { beeps.append(type); }
    QStringList names() const;
};

class FakeMusic : public Music {
public:
    QStringList commands;
    MciNotifyTarget *lastCallback = nullptr;

    void sendString(const QString &command, MciNotifyTarget *callback) override;
    // The piece played with "notify" has ended: tells its callback.
    void finish(int code = MCI_NOTIFY_SUCCESSFUL);
};

class FakeScreen : public Screen {
public:
    QSize screenSize{1024, 768};
    QSize size() override { return screenSize; }
};

class FakeKeyboard : public Keyboard {
public:
    bool shift = false;
    bool shiftDown() override { return shift; }
};

struct FakeServices {
    FakeClock clock;
    FakeMessageBoxes messages;
    FakeSound sound;
    FakeMusic music;
    FakeScreen screen;
    FakeKeyboard keyboard;

    // Puts these fakes into services(); the registry file is left as it is.
    void install();
    // Forgets what was recorded.
    void clear();
};

} // namespace platform
