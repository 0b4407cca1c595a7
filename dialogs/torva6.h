// The yes/no box: はい above いいえ, with a chime at every showing.
#pragma once

#include "platform/form.h"

class TForm6 : public TForm {
public:
    TForm6();

    TShape *Shape1;
    TImage *Image1; // the pointer
    TLabel *Label1; // はい
    TLabel *Label2; // いいえ
    TTimer *Timer1; // blinks the pointer

    void FormShow();
    void FormCloseQuery(bool &CanClose);
    void FormKeyDown(int &Key, TShiftState Shift);
    void Label1MouseMove(TShiftState Shift, int X, int Y);
    void Label2MouseMove(TShiftState Shift, int X, int Y);
    void Label1Click();
    void Label2Click();
    void Timer1Timer();

    int Answer = 0; // 0 yes, 1 no
    bool Decided = false;

private:
    void select(int answer);
    void confirm(int answer);
};

extern TForm6 *Form6;
