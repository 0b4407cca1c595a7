// The name entry box.
#pragma once

#include "platform/form.h"

class TForm3 : public TForm {
public:
    TForm3();

    TEdit *Edit1; // the player's name
    bool Decided = false;
};

extern TForm3 *Form3;
