// The story window: a full-screen parody of a console RPG's opening, played
// before every round.
#pragma once

#include "platform/form.h"
#include "platform/services.h"

struct Scene;

class TForm2 : public TForm, public platform::MciNotifyTarget {
public:
    TForm2();

    TLabel *Label1; // apology, first line
    TLabel *Label2; // apology, second line
    TPanel *Panel1; // the message panel
    TLabel *Mes1;
    TLabel *Mes2;
    TLabel *Mes3;
    TButton *Button1; // zero-sized; Enter, Esc and Space run a step through it
    TLabel *Label3;   // the skip hint; shown once a story has been played to its end
    TImage *Image0;   // pointer while the panel is hidden
    TTimer *Timer1;   // blinks the pointer
    TImage *Image1;   // pointer inside the panel
    TLabel *Label4;   // title card

    void FormShow();
    void Button1Click();
    void Timer1Timer();
    void Label3Click();
    void FormCloseQuery(bool &CanClose);
    QString SetPmesName(const QString &text);
    void MciNotify(int wParam) override;

    int SceneIndex = 0;
    int YesCount = 0;
    QString MusicFile;
    bool SfcMode = false;

private:
    void Opening(bool hintWasVisible);
    void Questionnaire(bool hintWasVisible);
    void ShowScene(const Scene &scene);
    void Reveal(bool voice);
    void StartMusic(const QString &file);
    void StopMusic(const QString &file);
    void DropInputMadeDuringStep();

    // True from the start of a step to its end; clicks and keys that arrive
    // meanwhile are dropped.
    bool stepRunning_ = false;
};

extern TForm2 *Form2;
