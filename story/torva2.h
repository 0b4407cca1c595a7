// The story window: a full-screen parody of a console RPG's opening, played
// before every round.
#pragma once

#include "platform/form.h"
#include "platform/services.h"

class TForm2 : public TForm, public platform::MciNotifyTarget {
public:
    TForm2();

    TLabel *Label1;
    TLabel *Label2;
    TLabel *Label3; // the skip hint; shown once a story has been played to its end
    bool SfcMode = false;

    void MciNotify(int wParam) override;
};

extern TForm2 *Form2;
