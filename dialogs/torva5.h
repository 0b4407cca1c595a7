// The sex choice box.
#pragma once

#include "platform/form.h"

class TForm5 : public TForm {
public:
    TForm5();

    int PlayerSex = 0; // 0 male, 1 female, -1 the hidden third choice
    bool Decided = false;
};

extern TForm5 *Form5;
