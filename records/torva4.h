// The high-score window: the three records and the reset of the table.
#pragma once

#include "platform/form.h"

class TForm4 : public TForm {
public:
    TForm4();

    TPanel *Panel1;
    TLabel *Label1; // "1st"
    TLabel *Label2; // "2nd"
    TLabel *Label3; // "3rd"
    TLabel *Label4; // names of ranks 1 to 3
    TLabel *Label5;
    TLabel *Label6;
    TLabel *Label7; // lengths of ranks 1 to 3
    TLabel *Label8;
    TLabel *Label9;
    TLabel *Label10; // dates of ranks 1 to 3
    TLabel *Label11;
    TLabel *Label12;
    TButton *Button1; // OK
    TButton *Button2; // erase the table
    TLabel *Label13;  // sexes of ranks 1 to 3
    TLabel *Label14;
    TLabel *Label15;

    void FormShow();
    void Button2Click();
};

extern TForm4 *Form4;
