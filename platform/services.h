// The outside world as the game sees it: time, message boxes, sound, music,
// the screen and the keyboard. Every effect with timing or the outside world
// goes through one of these small interfaces, so that tests can swap in fakes
// (platform/fakes.h) and run a whole story or round in milliseconds.
#pragma once

#include <QDateTime>
#include <QSize>
#include <QString>

#include <cstdint>
#include <functional>

class TForm;

namespace platform {

// Message box flags and answers, numbered as the Win32 API numbers them.
enum MessageFlags : unsigned {
    MB_OK = 0x00,
    MB_YESNO = 0x04,
    MB_ICONHAND = 0x10,
    MB_ICONERROR = 0x10,
    MB_ICONQUESTION = 0x20,
    MB_ICONEXCLAMATION = 0x30,
    MB_ICONINFORMATION = 0x40,
};
enum MessageAnswer : int { IDOK = 1, IDCANCEL = 2, IDYES = 6, IDNO = 7 };

// PlaySound flags, numbered as the Win32 API numbers them.
enum SoundFlags : unsigned {
    SND_SYNC = 0x0000,
    SND_ASYNC = 0x0001,
    SND_NODEFAULT = 0x0002,
    SND_LOOP = 0x0008,
    SND_RESOURCE = 0x40004,
};

// Completion codes of a music command sent with "notify".
enum MciNotifyCode : int {
    MCI_NOTIFY_SUCCESSFUL = 1,
    MCI_NOTIFY_SUPERSEDED = 2,
    MCI_NOTIFY_ABORTED = 4,
    MCI_NOTIFY_FAILURE = 8,
};

// The millisecond tick count, fixed waits and the local date and time.
class Clock {
public:
    virtual ~Clock() = default;
    // Milliseconds since some fixed moment; wraps round after 2^32 ms.
    virtual std::uint32_t tickCount() = 0;
    // A fixed wait. The real one keeps painting windows but takes no input.
    virtual void sleep(int milliseconds) = 0;
    virtual QDateTime localNow() = 0;
};

// Modal message boxes. Returns IDOK, IDYES or IDNO.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    virtual int show(const QString &text, const QString &caption, unsigned flags) = 0;
};

// Wave sounds from the program's own resources (":/sounds/<NAME>.wav").
// A new sound replaces the one playing; an empty name stops it.
// SND_ASYNC returns at once, SND_LOOP repeats until replaced or stopped, and
// without SND_ASYNC the call returns when the sound has played.
class Sound {
public:
    virtual ~Sound() = default;
    virtual void playSound(const QString &name, unsigned flags) = 0;
    // The system's alert sounds; MB_ICONHAND is the critical stop.
    virtual void messageBeep(unsigned type) = 0;
};

// Whoever asked for "notify" on a music command hears back here, on the GUI
// thread, once the command has completed (or was superseded or aborted).
class MciNotifyTarget {
public:
    virtual ~MciNotifyTarget() = default;
    virtual void MciNotify(int wParam) = 0;
};

// MIDI music driven by command strings: "open F", "play F notify",
// "seek F to start", "stop F", "close F", with F a file name relative to the
// current directory. Results are not reported: failures are silent.
class Music {
public:
    virtual ~Music() = default;
    virtual void sendString(const QString &command, MciNotifyTarget *callback) = 0;
};

class Screen {
public:
    virtual ~Screen() = default;
    // The primary display's size in pixels.
    virtual QSize size() = 0;
};

class Keyboard {
public:
    virtual ~Keyboard() = default;
    // Whether a Shift key is held down at this moment.
    virtual bool shiftDown() = 0;
};

struct Services {
    Clock *clock = nullptr;
    MessageBoxes *messages = nullptr;
    Sound *sound = nullptr;
    Music *music = nullptr;
    Screen *screen = nullptr;
    Keyboard *keyboard = nullptr;
    // The file that holds the current user's registry hive.
    QString registryFile;
    // Called once a form shown modally is on screen and its modal loop runs;
    // tests answer dialogs from here. Unset in the game.
    std::function<void(TForm &)> modalShown;
};

Services &services();

// Shorthands for the calls the windows make most.
int MessageBox(const QString &text, const QString &caption, unsigned flags);
std::uint32_t GetTickCount();
void Sleep(int milliseconds);
void PlaySound(const QString &name, unsigned flags);

} // namespace platform
