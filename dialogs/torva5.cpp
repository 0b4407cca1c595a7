#include "dialogs/torva5.h"

#include "dialogs/choicebox.h"
#include "dialogs/choicerules.h"
#include "platform/services.h"

TForm5 *Form5 = nullptr;

namespace {
constexpr int Label1Width = 57;
constexpr int Label1Height = 25;
constexpr int Label2Width = 63;
constexpr int Label2Height = 21;

// The strip lies in the gap under おとこ, black on black.
constexpr int StripLeft = 40;
constexpr int StripTop = 45;
constexpr int StripWidth = 41;
constexpr int StripHeight = 5;
} // namespace

TForm5::TForm5()
{
    choicebox::styleWindow(this, QStringLiteral("Sex"));

    Shape1 = choicebox::frame(this);
    Label1 = choicebox::caption(this, choicerules::Caption1Top, Label1Width, Label1Height,
                                QStringLiteral("おとこ"));
    Label2 = choicebox::caption(this, choicerules::Caption2Top, Label2Width, Label2Height,
                                QStringLiteral("おんな"));
    Image1 = choicebox::pointer(this);

    Label3 = new TLabel(this);
    Label3->setAutoSize(false);
    Label3->setGeometry(StripLeft, StripTop, StripWidth, StripHeight);
    Label3->setColor(clr::Black);
    Label3->setCaption(QStringLiteral("   "));

    Timer1 = choicebox::blinkTimer(this);

    OnShow = [this] { FormShow(); };
    OnCloseQuery = [this](bool &canClose) { FormCloseQuery(canClose); };
    OnKeyDown = [this](int &key, TShiftState shift) { FormKeyDown(key, shift); };
    Label1->OnMouseMove = [this](TShiftState s, int x, int y) { Label1MouseMove(s, x, y); };
    Label2->OnMouseMove = [this](TShiftState s, int x, int y) { Label2MouseMove(s, x, y); };
    Label1->OnClick = [this] { Label1Click(); };
    Label2->OnClick = [this] { Label2Click(); };
    Label3->OnMouseDown = [this](TMouseButton b, TShiftState s, int x, int y) {
        Label3MouseDown(b, s, x, y);
    };
    Label3->OnClick = [this] { Label3Click(); };
    Timer1->OnTimer = [this] { Timer1Timer(); };
}

void TForm5::FormShow()
{
    PlayerSex = choicerules::FirstChoice;
    Image1->setTop(choicerules::pointerTop(PlayerSex));
    const QPoint at =
        choicerules::placement(platform::services().screen->size(), QSize(Width(), Height()));
    move(at);
    Decided = false;
    Image1->Show();
}

void TForm5::FormCloseQuery(bool &CanClose)
{
    CanClose = Decided;
}

void TForm5::FormKeyDown(int &Key, TShiftState)
{
    const choicerules::KeyOutcome outcome = choicerules::afterKey(Key, PlayerSex);
    if (outcome.select)
        select(outcome.choice);
    Image1->Show();
    if (outcome.confirm) {
        Decided = true;
        Close();
    }
}

void TForm5::Label1MouseMove(TShiftState, int, int)
{
    select(choicerules::FirstChoice);
}

void TForm5::Label2MouseMove(TShiftState, int, int)
{
    select(choicerules::SecondChoice);
}

void TForm5::Label1Click()
{
    confirm(choicerules::FirstChoice);
}

void TForm5::Label2Click()
{
    confirm(choicerules::SecondChoice);
}

// Pressing on the strip takes the pointer out of sight; the choice stays.
void TForm5::Label3MouseDown(TMouseButton, TShiftState, int, int)
{
    Image1->setTop(choicerules::PointerOutOfSightTop);
    Image1->Hide();
}

void TForm5::Label3Click()
{
    PlayerSex = choicerules::HiddenChoice;
    Decided = true;
    Close();
}

void TForm5::Timer1Timer()
{
    Image1->setVisible(!Image1->Visible());
}

void TForm5::select(int sex)
{
    PlayerSex = sex;
    Image1->setTop(choicerules::pointerTop(sex));
    Image1->Show();
}

void TForm5::confirm(int sex)
{
    PlayerSex = sex;
    Decided = true;
    Image1->Show();
    Close();
}
