#include "platform/realservices.h"

#include "platform/application.h"
#include "platform/audio/audio.h"
#include "platform/audio/mixer.h"

#include <QEventLoop>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>

#include <ctime>

namespace platform {

// Milliseconds of the monotonic clock, wrapping round like a 32-bit count.
std::uint32_t RealClock::tickCount()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const auto ms = static_cast<std::uint64_t>(now.tv_sec) * 1000u +
                    static_cast<std::uint64_t>(now.tv_nsec) / 1000000u;
    return static_cast<std::uint32_t>(ms);
}

// A fixed wait that keeps the windows painted but takes no input: input that
// arrives meanwhile waits in the queue.
void RealClock::sleep(int milliseconds)
{
    if (milliseconds <= 0 || terminating())
        return;
    QEventLoop loop;
    QTimer::singleShot(milliseconds, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

QDateTime RealClock::localNow() { return QDateTime::currentDateTime(); }

int QtMessageBoxes::show(const QString &text, const QString &caption, unsigned flags)
{
    // Nobody is there to answer once the game is ending.
    if (terminating())
        return (flags & 0x0Fu) == MB_YESNO ? IDNO : IDOK;
    QMessageBox box;
    box.setWindowTitle(caption);
    box.setText(text);
    switch (flags & 0xF0u) {
    case MB_ICONERROR:
        box.setIcon(QMessageBox::Critical);
        break;
    case MB_ICONQUESTION:
        box.setIcon(QMessageBox::Question);
        break;
    case MB_ICONEXCLAMATION:
        box.setIcon(QMessageBox::Warning);
        break;
    case MB_ICONINFORMATION:
        box.setIcon(QMessageBox::Information);
        break;
    default:
        box.setIcon(QMessageBox::NoIcon);
        break;
    }
    if ((flags & 0x0Fu) == MB_YESNO) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::NoButton);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
    }
    box.setWindowModality(Qt::ApplicationModal);
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    const int answer = box.exec();
    if (answer == QMessageBox::Yes)
        return IDYES;
    if (answer == QMessageBox::No)
        return IDNO;
    return IDOK;
}

QSize QtScreen::size()
{
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        return screen->size();
    return {640, 480};
}

bool QtKeyboard::shiftDown()
{
    return QGuiApplication::queryKeyboardModifiers().testFlag(Qt::ShiftModifier);
}

void installRealServices()
{
    static RealClock clock;
    static QtMessageBoxes messages;
    static QtScreen screen;
    static QtKeyboard keyboard;
    Services &s = services();
    s.clock = &clock;
    s.messages = &messages;
    s.screen = &screen;
    s.keyboard = &keyboard;
    // An idle game closes its sound device after a few quiet seconds.
    audio::AudioOutput::shared().setIdleClose(std::chrono::seconds(3));
    s.sound = &realSound();
    s.music = &realMusic();
}

} // namespace platform
