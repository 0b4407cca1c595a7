#include "platform/fakes.h"

namespace platform {

void FakeClock::sleep(int milliseconds)
{
    sleeps.append(milliseconds);
    if (milliseconds > 0)
        ticks += static_cast<std::uint32_t>(milliseconds);
}

int FakeMessageBoxes::show(const QString &text, const QString &caption, unsigned flags)
{
    shown.append({text, caption, flags});
    if (onShow)
        onShow(shown.last());
    if ((flags & 0x0Fu) != MB_YESNO)
        return IDOK;
    if (answers.empty())
        return IDNO;
    const int answer = answers.front();
    answers.pop_front();
    return answer;
}

QStringList FakeMessageBoxes::texts() const
{
    QStringList result;
    for (const ShownMessage &message : shown)
        result.append(message.text);
    return result;
}

QStringList FakeSound::names() const
{
    QStringList result;
    for (const Call &call : calls)
        result.append(call.name);
    return result;
}

void FakeMusic::sendString(const QString &command, MciNotifyTarget *callback)
{
    commands.append(command);
    if (callback)
        lastCallback = callback;
}

void FakeMusic::finish(int code)
{
    if (lastCallback)
        lastCallback->MciNotify(code);
}

void FakeServices::install()
{
    Services &s = services();
    s.clock = &clock;
    s.messages = &messages;
    s.sound = &sound;
    s.music = &music;
    s.screen = &screen;
    s.keyboard = &keyboard;
}

void FakeServices::clear()
{
    clock.sleeps.clear();
    messages.shown.clear();
    messages.answers.clear();
    messages.onShow = nullptr;
    sound.calls.clear();
    sound.beeps.clear();
    music.commands.clear();
    music.lastCallback = nullptr;
}

} // namespace platform
