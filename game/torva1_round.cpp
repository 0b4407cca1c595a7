// The round: countdown, timed play, pulling and coasting paper.
#include "game/torva1.h"

#include "game/pullrules.h"
#include "platform/application.h"
#include "platform/services.h"
#include "story/torva2.h"

#include <QPainter>

namespace {
// How to pull, shown before every round until a best record exists.
const QString RulesText = QStringLiteral(
    "白いトイレットペーパーの上でマウスのボタンを押しっぱなしにしながら、"
    "マウスを画面下にスライドさせることで、トイレットペーパーを引っ張ることができます。\n"
    "スライドさせながらボタンを押すのをやめると、そのまま一定時間動き続けます。\n"
    "また、白い部分からマウスが離れても、同じ状況になります。");
} // namespace

// ---------------------------------------------------------------- round start

void TForm1::RoundStart()
{
    Form2->SfcMode = CheckBox1->isChecked();
    Form2->ShowModal();

    setCursorShape(crHourGlass);
    setEnabled(false); // no presses during the countdown
    Timer1->setInterval(pull::CountdownInterval);
    setColor(clr::White);
    Panel2->Hide();
    Label5->Show();
    Label6->Show();
    Image1->Hide();
    Image2->Show();
    Image2->setTop(0);
    Label1->setCaption(QStringLiteral("0"));
    PulledPixels = 0;
    Label6->Tag = pull::CountdownStart;
    Label6->setCaption(QString::number(pull::CountdownStart));
    Label8->Tag = TimeLimit;
    Label8->setCaption(QString::number(TimeLimit));
    Label5->setCaption(QStringLiteral("Ready?"));
    // The black area reaches below the window's bottom.
    Shape3->setTop(pull::BlackAreaTop);
    Shape3->setHeight(Height());

    if (RecordLength[0] == 0)
        Application->MessageBox(RulesText, QStringLiteral("ルール説明"), platform::MB_OK);
    Timer1->setEnabled(true);
}

// ---------------------------------------------------------------- the clock

// The interval tells the phase: one-second countdown ticks, then play ticks.
void TForm1::Timer1Timer()
{
    if (Timer1->Interval() == pull::CountdownInterval)
        CountdownTick();
    else
        PlayTick();
}

void TForm1::CountdownTick()
{
    --Label6->Tag;
    if (Label6->Tag != -1) {
        Label6->setCaption(QString::number(Label6->Tag));
        if (Label6->Tag == 0)
            Label5->setCaption(QStringLiteral(" Start!"));
        return;
    }
    Label5->Hide();
    Label6->Hide();
    Timer1->setInterval(pull::PlayInterval);
    setEnabled(true);
    RoundStartTick = platform::GetTickCount();
    PlayTick();
}

void TForm1::PlayTick()
{
    const int elapsed = pull::ElapsedSince(platform::GetTickCount(), RoundStartTick);
    if (pull::TimeIsUp(elapsed, TimeLimit)) {
        TimeOut();
        return;
    }
    const int left = pull::SecondsLeft(TimeLimit, elapsed);
    if (left != Label8->Tag) {
        Label8->Tag = left;
        Label8->setCaption(QString::number(left));
    }

    const pull::CursorTick frame = pull::NextCursorFrame(CursorFrame);
    CursorFrame = frame.nextFrame;
    if (frame.cursor != 0)
        setCursorShape(frame.cursor);

    CoastStep();
    Label1->setCaption(pull::MetresText(PulledPixels));
}

void TForm1::TimeOut()
{
    Timer1->setEnabled(false);
    Label8->Tag = pull::TimeUp;
    setCursorShape(crNo);
    Application->MessageBox(pull::ResultText(PulledPixels), QStringLiteral("記録の表示"),
                            platform::MB_OK);
    CoastSpeed = 0;
    PaperLineY = pull::PaperLineStart;
    // A button still held when time ran out may never be released on this
    // window (the result message takes the mouse); the next round must not
    // go on pulling with it.
    Pulling = false;

    const QSize screen = platform::services().screen->size();
    setTop((screen.height() - Height()) / 2);
    setLeft((screen.width() - Width()) / 2);

    RankingUpdate();

    Panel2->Show();
    Panel3->setVisible(RecordLength[0] != 0);
    for (TPanel *button : {Panel1, Panel3, Panel4})
        button->setBevelOuter(bvNone);
}

// ---------------------------------------------------------------- pulling

void TForm1::FormMouseDown(TMouseButton, TShiftState, int, int Y)
{
    Pulling = true;
    LastMouseY = Y;
    CoastSpeed = 0; // a press stops coasting paper at once
}

void TForm1::FormMouseMove(TShiftState, int X, int Y)
{
    if (!Pulling || Y < LastMouseY || Label8->Tag == pull::TimeUp)
        return;
    const int distance = Y - LastMouseY;
    const int newY = PaperLineY + distance;

    MoveHand(distance);
    DrawPaperMotion(PaperLineY, newY);

    CoastSpeed = distance;
    PulledPixels += distance;
    Label1->setCaption(pull::MetresText(PulledPixels));

    LastMouseY = Y;
    PaperLineY = pull::WrapLine(newY, Height());
    FollowPaperEnd();

    // The move that leaves the strip has been counted in full.
    if (pull::LeavesStrip(X, Y, Shape1->Width(), Shape2->Left(), Height()))
        Pulling = false;
}

// Let go, the paper runs on at the last step's speed.
void TForm1::FormMouseUp(TMouseButton, TShiftState, int, int)
{
    Pulling = false;
}

// Once per play tick: paper let go runs on and slows down.
void TForm1::CoastStep()
{
    if (Pulling || CoastSpeed <= 0)
        return;
    const int speed = CoastSpeed;
    const int newY = PaperLineY + speed;
    CoastSpeed -= pull::DecelerationStep(speed);
    // The hands stand still; repainting the line's rows redraws what of them
    // lies there.
    DrawPaperMotion(PaperLineY, newY);
    PulledPixels += speed;
    FollowPaperEnd();
    PaperLineY = pull::WrapLine(newY, Height());
}

// The visible hand moves with the paper; past the bottom the other hand takes
// hold at the top.
void TForm1::MoveHand(int distance)
{
    TImage *hand = Image1->Visible() ? Image1 : Image2;
    TImage *other = hand == Image1 ? Image2 : Image1;
    hand->setTop(hand->Top() + distance);
    if (hand->Top() > Height()) {
        hand->Hide();
        other->Show();
        other->setTop(0);
    }
    // Moving a hand repaints its old and new place, and nothing else.
}

void TForm1::FollowPaperEnd()
{
    Shape3->setTop(pull::FollowBlackArea(Shape3->Top(), PulledPixels, Height()));
}

// Only the two rows of the paper's width change: the old line is wiped out and
// the new one drawn. The paint handler draws the line where it now stands.
void TForm1::DrawPaperMotion(int oldY, int newY)
{
    const int left = Shape1->Width();
    const int width = Shape2->Left() - left;
    update(QRect(left, oldY, width, 1));
    update(QRect(left, newY, width, 1));
}

// The paper line across the window; the side areas and the black area are
// painted over it, so it shows only on the paper.
void TForm1::FormPaint(QPainter &painter, const QRect &)
{
    painter.setPen(QPen(clr::Black, 1, Qt::DashLine));
    painter.setBrush(Qt::NoBrush);
    painter.drawLine(0, PaperLineY, Width(), PaperLineY);
}
