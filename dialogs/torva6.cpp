#include "dialogs/torva6.h"

#include "dialogs/choicebox.h"
#include "dialogs/choicerules.h"
#include "platform/services.h"

TForm6 *Form6 = nullptr;

namespace {
constexpr int Label1Width = 44;
constexpr int Label1Height = 21;
constexpr int Label2Width = 63;
constexpr int Label2Height = 21;

const QString Chime = QStringLiteral("PIRO");
constexpr unsigned ChimeFlags =
    platform::SND_RESOURCE | platform::SND_ASYNC | platform::SND_NODEFAULT;
} // namespace

TForm6::TForm6()
{
    choicebox::styleWindow(this, QStringLiteral("Y/N"));

    Shape1 = choicebox::frame(this);
    Image1 = choicebox::pointer(this);
    Label1 = choicebox::caption(this, choicerules::Caption1Top, Label1Width, Label1Height,
                                QStringLiteral("はい"));
    Label2 = choicebox::caption(this, choicerules::Caption2Top, Label2Width, Label2Height,
                                QStringLiteral("いいえ"));
    Timer1 = choicebox::blinkTimer(this);

    OnShow = [this] { FormShow(); };
    OnCloseQuery = [this](bool &canClose) { FormCloseQuery(canClose); };
    OnKeyDown = [this](int &key, TShiftState shift) { FormKeyDown(key, shift); };
    Label1->OnMouseMove = [this](TShiftState s, int x, int y) { Label1MouseMove(s, x, y); };
    Label2->OnMouseMove = [this](TShiftState s, int x, int y) { Label2MouseMove(s, x, y); };
    Label1->OnClick = [this] { Label1Click(); };
    Label2->OnClick = [this] { Label2Click(); };
    Timer1->OnTimer = [this] { Timer1Timer(); };
}

void TForm6::FormShow()
{
    platform::PlaySound(Chime, ChimeFlags);
    Answer = choicerules::FirstChoice;
    Image1->setTop(choicerules::pointerTop(Answer));
    const QPoint at =
        choicerules::placement(platform::services().screen->size(), QSize(Width(), Height()));
    move(at);
    Decided = false;
    Image1->Show();
}

void TForm6::FormCloseQuery(bool &CanClose)
{
    CanClose = Decided;
}

void TForm6::FormKeyDown(int &Key, TShiftState)
{
    const choicerules::KeyOutcome outcome = choicerules::afterKey(Key, Answer);
    if (outcome.select)
        select(outcome.choice);
    Image1->Show();
    if (outcome.confirm) {
        Decided = true;
        Close();
    }
}

void TForm6::Label1MouseMove(TShiftState, int, int)
{
    select(choicerules::FirstChoice);
}

void TForm6::Label2MouseMove(TShiftState, int, int)
{
    select(choicerules::SecondChoice);
}

void TForm6::Label1Click()
{
    confirm(choicerules::FirstChoice);
}

void TForm6::Label2Click()
{
    confirm(choicerules::SecondChoice);
}

void TForm6::Timer1Timer()
{
    Image1->setVisible(!Image1->Visible());
}

void TForm6::select(int answer)
{
    Answer = answer;
    Image1->setTop(choicerules::pointerTop(answer));
    Image1->Show();
}

void TForm6::confirm(int answer)
{
    Answer = answer;
    Decided = true;
    Image1->Show();
    Close();
}
