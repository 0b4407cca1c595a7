// The real sound and music of the program, shared by the whole process. The
// audio device opens when the first sound or piece needs it.
#pragma once

#include "platform/audio/midimusic.h"
#include "platform/audio/wavesound.h"

namespace platform {

SdlSound &realSound();
FluidMusic &realMusic();

} // namespace platform
