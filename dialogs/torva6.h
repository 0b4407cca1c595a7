// The yes/no box.
#pragma once

#include "platform/form.h"

class TForm6 : public TForm {
public:
    TForm6();

    int Answer = 0; // 0 yes, 1 no
    bool Decided = false;
};

extern TForm6 *Form6;
