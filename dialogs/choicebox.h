// The look both choice boxes share: a black box with a white rounded frame,
// two bold white captions and the blinking pointer beside them.
#pragma once

#include "platform/form.h"

namespace choicebox {

// Borderless, black, on top, keys previewed; the caption is never shown.
void styleWindow(TForm *form, const QString &caption);
TShape *frame(TForm *form);
TLabel *caption(TForm *form, int top, int width, int height, const QString &text);
TImage *pointer(TForm *form);
// Blinks the pointer; runs from creation and is never stopped.
TTimer *blinkTimer(TForm *form);

} // namespace choicebox
