// The high-score window.
#pragma once

#include "platform/form.h"

class TForm4 : public TForm {
public:
    TForm4();
};

extern TForm4 *Form4;
