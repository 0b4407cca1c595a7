// The sex choice box: おとこ above おんな, and a hidden third answer on an
// invisible strip between them.
#pragma once

#include "platform/form.h"

class TForm5 : public TForm {
public:
    TForm5();

    TShape *Shape1;
    TLabel *Label1; // おとこ
    TLabel *Label2; // おんな
    TImage *Image1; // the pointer
    TLabel *Label3; // the invisible strip
    TTimer *Timer1; // blinks the pointer

    void FormShow();
    void FormCloseQuery(bool &CanClose);
    void FormKeyDown(int &Key, TShiftState Shift);
    void Label1MouseMove(TShiftState Shift, int X, int Y);
    void Label2MouseMove(TShiftState Shift, int X, int Y);
    void Label1Click();
    void Label2Click();
    void Label3MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    void Label3Click();
    void Timer1Timer();

    int PlayerSex = 0; // 0 male, 1 female, -1 the hidden third choice
    bool Decided = false;

private:
    void select(int sex);
    void confirm(int sex);
};

extern TForm5 *Form5;
