#include "audio.h"

namespace platform {

SdlSound &realSound()
{
    static SdlSound sound;
    return sound;
}

FluidMusic &realMusic()
{
    static FluidMusic music;
    return music;
}

} // namespace platform
