#include "dialogs/torva3.h"

#include "dialogs/namerules.h"
#include "dialogs/namevalidator.h"
#include "dialogs/torva5.h"
#include "platform/services.h"

TForm3 *Form3 = nullptr;

namespace {
const QString MsPGothic = QStringLiteral("ＭＳ Ｐゴシック");
const QString SystemFont = QStringLiteral("System");
const QString Prompt = QStringLiteral("あなたの名前を入力してください。");
const QString Refusal = QStringLiteral("自分の名前を入れてください。");

constexpr int BoxWidth = 403;
constexpr int BoxHeight = 156;
constexpr int TextHeight = 21;
constexpr int ButtonFontHeight = 12;
constexpr int FramePenWidth = 2;

void beepCriticalStop()
{
    platform::services().sound->messageBeep(platform::MB_ICONHAND);
}
} // namespace

TForm3::TForm3()
{
    setCaption(QStringLiteral("Name"));
    setBorderStyle(bsNoBorder);
    setStayOnTop(true);
    setClientSize(BoxWidth, BoxHeight);
    setColor(clr::Black);
    setFont(vclFont(SystemFont, TextHeight));
    ScreenCenter = true;

    Shape1 = new TShape(this);
    Shape1->setGeometry(1, 1, 401, 153);
    Shape1->Shape = stRoundRect;
    Shape1->BrushStyle = bsClear;
    Shape1->PenColor = clr::White;
    Shape1->PenWidth = FramePenWidth;

    Label1 = new TLabel(this);
    Label1->move(64, 24);
    Label1->setFont(vclFont(SystemFont, TextHeight, true));
    Label1->setFontColor(clr::White);
    Label1->setCaption(Prompt);

    Edit1 = new TEdit(this);
    Edit1->setGeometry(80, 54, 233, 26);
    Edit1->setFont(vclFont(SystemFont, TextHeight));
    QPalette editColours = Edit1->palette();
    editColours.setColor(QPalette::Base, clr::White);
    editColours.setColor(QPalette::Text, clr::Black);
    Edit1->setPalette(editColours);
    // The limit is in code page 932 bytes, which the validator counts.
    nameValidator_ = new NameValidator(Edit1);
    Edit1->setValidator(nameValidator_);

    Button1 = new TButton(this);
    Button1->setGeometry(160, 104, 75, 25);
    Button1->setFont(vclFont(MsPGothic, ButtonFontHeight));
    Button1->setText(QStringLiteral("OK"));
    Button1->Default = true;

    setTabOrder(Edit1, Button1);

    OnShow = [this] { FormShow(); };
    OnCloseQuery = [this](bool &canClose) { FormCloseQuery(canClose); };
    Edit1->OnChange = [this] { Edit1Change(); };
    Button1->OnClick = [this] { Button1Click(); };
    nameValidator_->OnRefused = beepCriticalStop;
}

void TForm3::FormShow()
{
    Label1->setCaption(Prompt);
    Label1->setFontColor(clr::White);
    Edit1->setFocus();
    Edit1->selectAll();
    Edit1Change();
    Decided = false;
}

void TForm3::Edit1Change()
{
    Button1->setEnabled(namerules::canSubmit(Edit1->Text()));
}

void TForm3::Button1Click()
{
    if (namerules::isRefusedName(Edit1->Text())) {
        Label1->setCaption(Refusal);
        Label1->setFontColor(clr::Yellow);
        focusEdit();
        Button1->setEnabled(false);
        beepCriticalStop();
        return;
    }
    Form5->ShowModal();
    Decided = true;
    Close();
}

void TForm3::FormCloseQuery(bool &CanClose)
{
    CanClose = Decided;
}

// Entering the edit from elsewhere selects its whole text, as it does when
// the box opens with the name of the last story, so typing replaces it.
void TForm3::focusEdit()
{
    if (focusWidget() == Edit1)
        return;
    Edit1->setFocus(Qt::OtherFocusReason);
    Edit1->selectAll();
}
