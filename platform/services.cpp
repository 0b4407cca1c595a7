#include "platform/services.h"

namespace platform {

Services &services()
{
    static Services theServices;
    return theServices;
}

int MessageBox(const QString &text, const QString &caption, unsigned flags)
{
    return services().messages->show(text, caption, flags);
}

std::uint32_t GetTickCount() { return services().clock->tickCount(); }

void Sleep(int milliseconds) { services().clock->sleep(milliseconds); }

void PlaySound(const QString &name, unsigned flags) { services().sound->playSound(name, flags); }

} // namespace platform
