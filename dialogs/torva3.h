// The name entry box. OK with an acceptable name asks the hero's sex in
// Form5 before this box closes; the name stays in Edit1 between stories.
#pragma once

#include "platform/form.h"

class NameValidator;

class TForm3 : public TForm {
public:
    TForm3();

    TShape *Shape1;
    TLabel *Label1;   // the prompt, or the refusal
    TEdit *Edit1;     // the player's name
    TButton *Button1; // OK

    void FormShow();
    void Edit1Change();
    void Button1Click();
    void FormCloseQuery(bool &CanClose);

    bool Decided = false;

private:
    void focusEdit();
    NameValidator *nameValidator_;
};

extern TForm3 *Form3;
