#include "records/torva4.h"

#include "game/rankingrules.h"
#include "game/torva1.h"
#include "platform/application.h"
#include "platform/services.h"
#include "records/recordtexts.h"

TForm4 *Form4 = nullptr;

namespace {
const QString SystemFont = QStringLiteral("System");
const QString MsPGothic = QStringLiteral("ＭＳ Ｐゴシック");

constexpr int FormClientWidth = 591;
constexpr int FormClientHeight = 199;
constexpr int PanelHeight = 153;
constexpr int RowTops[] = {24, 64, 104};
constexpr int RankLeft = 16;
constexpr int NameLeft = 72;
constexpr int SexLeft = 264;
constexpr int LengthLeft = 312;
constexpr int DateLeft = 432;
constexpr int ButtonTop = 166;
constexpr int ButtonHeight = 24;

TLabel *rowLabel(QWidget *parent, int left, int row, const QString &caption = QString())
{
    auto *label = new TLabel(parent);
    label->move(left, RowTops[row]);
    label->setCaption(caption);
    return label;
}

TButton *button(QWidget *parent, int left, int width, const QString &caption)
{
    auto *button = new TButton(parent);
    button->setGeometry(left, ButtonTop, width, ButtonHeight);
    button->setFont(vclFont(MsPGothic, 12));
    button->setText(caption);
    return button;
}
} // namespace

TForm4::TForm4()
{
    setCaption(QStringLiteral("ハイスコア"));
    setBorderStyle(bsDialog);
    setClientSize(FormClientWidth, FormClientHeight);
    setFont(vclFont(SystemFont, 16));
    ScreenCenter = true;

    Panel1 = new TPanel(this);
    Panel1->setGeometry(0, 0, FormClientWidth, PanelHeight);
    Panel1->setBevelOuter(bvLowered);

    const QFont bold = vclFont(SystemFont, 16, true);
    Label1 = rowLabel(Panel1, RankLeft, 0, QStringLiteral("1st"));
    Label2 = rowLabel(Panel1, RankLeft, 1, QStringLiteral("2nd"));
    Label3 = rowLabel(Panel1, RankLeft, 2, QStringLiteral("3rd"));
    for (TLabel *heading : {Label1, Label2, Label3})
        heading->setFont(bold);
    Label4 = rowLabel(Panel1, NameLeft, 0);
    Label5 = rowLabel(Panel1, NameLeft, 1);
    Label6 = rowLabel(Panel1, NameLeft, 2);
    Label7 = rowLabel(Panel1, LengthLeft, 0);
    Label8 = rowLabel(Panel1, LengthLeft, 1);
    Label9 = rowLabel(Panel1, LengthLeft, 2);
    Label10 = rowLabel(Panel1, DateLeft, 0);
    Label11 = rowLabel(Panel1, DateLeft, 1);
    Label12 = rowLabel(Panel1, DateLeft, 2);

    Button1 = button(this, 344, 99, QStringLiteral("OK"));
    Button1->Default = true;
    Button1->Cancel = true;
    Button1->ModalResult = mrOk;
    Button2 = button(this, 456, 121, QStringLiteral("冒険の書を消す(&D)"));

    Label13 = rowLabel(Panel1, SexLeft, 0);
    Label14 = rowLabel(Panel1, SexLeft, 1);
    Label15 = rowLabel(Panel1, SexLeft, 2);

    OnShow = [this] { FormShow(); };
    Button2->OnClick = [this] { Button2Click(); };
}

void TForm4::FormShow()
{
    TLabel *const names[] = {Label4, Label5, Label6};
    TLabel *const lengths[] = {Label7, Label8, Label9};
    TLabel *const dates[] = {Label10, Label11, Label12};
    TLabel *const sexes[] = {Label13, Label14, Label15};
    for (int rank = 0; rank < ranking::RecordCount; ++rank) {
        names[rank]->setCaption(Form1->RecordName[rank]);
        lengths[rank]->setCaption(records::RankLengthText(rank, Form1->RecordLength[rank]));
        dates[rank]->setCaption(Form1->RecordDate[rank]);
        sexes[rank]->setCaption(records::SexText(Form1->RecordSex[rank]));
    }
}

void TForm4::Button2Click()
{
    const int answer = Application->MessageBox(
        QStringLiteral("1～3位の記録を 0 に戻します。\nよろしいですか？"),
        QStringLiteral("冒険の書を消す"), platform::MB_YESNO | platform::MB_ICONQUESTION);
    if (answer != platform::IDYES)
        return;
    for (int rank = 0; rank < ranking::RecordCount; ++rank) {
        Form1->RecordSex[rank] = 0;
        Form1->RecordLength[rank] = 0;
        Form1->RecordName[rank].clear();
        Form1->RecordDate[rank].clear();
    }
    Form1->Panel3->Hide();
    Form1->CheckBox1->hide();
    Form1->CheckBox1->setChecked(false);
    Close();
}
