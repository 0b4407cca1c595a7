// The main window: the title menu and, under it, the paper-pulling game.
#pragma once

#include "platform/form.h"

#include <cstdint>

class TForm1 : public TForm {
public:
    TForm1();

    TTimer *Timer1;
    TImage *Image1; // left hand
    TImage *Image2; // right hand
    TLabel *Label1; // metres pulled
    TShape *Shape1; // left side area
    TShape *Shape2; // right side area
    TPanel *Panel2; // the title menu
    TPanel *Panel1; // START
    TPanel *Panel3; // RANKING
    TPanel *Panel4; // EXIT
    TLabel *Label2; // title
    TLabel *Label3; // attribution
    TLabel *Label4; // version
    TLabel *Label5; // "Ready?"
    TLabel *Label6; // countdown
    TLabel *Label7; // heading of the length
    TLabel *Label8; // seconds left
    TLabel *Label9; // heading of the seconds
    TShape *Shape3; // the black area below the end of the paper
    TCheckBox *CheckBox1;

    void FormShow();
    void FormMouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    void FormMouseMove(TShiftState Shift, int X, int Y);
    void FormMouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    void Timer1Timer();
    void FormPaint(QPainter &painter, const QRect &area);
    void Panel1MouseMove(TShiftState Shift, int X, int Y);
    void Panel1MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    void Panel1MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    void Panel3MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    void Panel3MouseMove(TShiftState Shift, int X, int Y);
    void Panel3MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    void Panel4MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    void Panel4MouseMove(TShiftState Shift, int X, int Y);
    void Panel4MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    void Panel2MouseMove(TShiftState Shift, int X, int Y);
    void FormClose();
    void Label4Click();
    void Label2Click();

    bool Pulling = false;
    int CoastSpeed = 0;
    int LastMouseY = 0;
    int PaperLineY = 0;
    int PulledPixels = 0;
    int TimeLimit = 0;
    QString RecordName[3];
    QString RecordDate[3];
    int RecordLength[3] = {0, 0, 0};
    int RecordSex[3] = {0, 0, 0};

    // The round (torva1_round.cpp).
    void RoundStart();
    void CoastStep();

private:
    void CountdownTick();
    void PlayTick();
    void TimeOut();
    void MoveHand(int distance);
    void DrawPaperMotion(int oldY, int newY);
    void FollowPaperEnd();

public:
    // The record table (torva1_records.cpp).
    void LoadRecords();
    void SaveRecords();
    void RankingUpdate();

private:
    void hoverButton(TPanel *button);
    bool shown_ = false;
};

extern TForm1 *Form1;

// Counters that last for the whole run.
extern std::uint32_t RoundStartTick;
extern int CursorFrame;
extern int VersionClicks;
extern int TitleClicks;
