#include "game/torva1.h"

#include "dialogs/torva3.h"
#include "dialogs/torva5.h"
#include "game/titlerules.h"
#include "platform/application.h"
#include "platform/services.h"
#include "records/torva4.h"
#include "story/torva2.h"

#include <QBitmap>
#include <QPainter>

TForm1 *Form1 = nullptr;

std::uint32_t RoundStartTick = 0;
int CursorFrame = 0;
int VersionClicks = 0;
int TitleClicks = 0;

namespace {
const QString MsPGothic = QStringLiteral("ＭＳ Ｐゴシック");
const QString SystemFont = QStringLiteral("System");
const QString Arial = QStringLiteral("Arial");

constexpr int FieldWidth = 329;
constexpr int FieldHeight = 377;

template <class Control> void place(Control *control, int left, int top, int width, int height)
{
    control->setGeometry(left, top, width, height);
}

TShape *sideArea(QWidget *parent, int left, int width)
{
    auto *shape = new TShape(parent);
    place(shape, left, 0, width, FieldHeight);
    shape->BrushColor = clr::Silver;
    shape->PenColor = clr::Gray;
    return shape;
}

// The sizes a window manager shows beside a title or in a task switcher;
// larger ones come from the icon theme.
QIcon titleBarIcon()
{
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64})
        icon.addFile(QStringLiteral(":/icons/torva_%1.png").arg(size), QSize(size, size));
    return icon;
}

TPanel *flatButton(QWidget *parent, int top, const QString &caption)
{
    auto *button = new TPanel(parent);
    place(button, 104, top, 121, 25);
    button->setBevelOuter(bvNone);
    button->setCaption(caption);
    button->trackMouse();
    return button;
}
} // namespace

TForm1::TForm1()
{
    setCaption(QStringLiteral("TORVA"));
    setBorderStyle(bsSingle, true);
    setClientSize(FieldWidth, FieldHeight);
    setColor(clr::White);
    setFont(vclFont(MsPGothic, 12));
    ScreenCenter = true;
    setWindowIcon(titleBarIcon());

    Timer1 = new TTimer(this);
    Timer1->setEnabled(false);
    Timer1->setInterval(1000);

    // The game field, from the bottom of the stacking order to the top.
    Shape3 = new TShape(this);
    place(Shape3, 87, 64, 146, 313);
    Shape3->BrushColor = clr::Black;
    Shape3->PenVisible = false;

    Shape1 = sideArea(this, 0, 88);

    Image1 = new TImage(this);
    place(Image1, 72, 0, 32, 32);
    Image1->setPicture(QPixmap(QStringLiteral(":/pictures/hand_left.png")));
    Image1->Hide();

    Shape2 = sideArea(this, 232, 97);

    Image2 = new TImage(this);
    place(Image2, 216, 0, 32, 32);
    Image2->setPicture(QPixmap(QStringLiteral(":/pictures/hand_right.png")));

    Label1 = new TLabel(this);
    place(Label1, 53, 96, 16, 33);
    Label1->setAlignment(taRightJustify);
    Label1->setFont(vclFont(MsPGothic, 32));
    Label1->setFontColor(clr::Blue);
    Label1->setColor(clr::Silver);
    Label1->setCaption(QStringLiteral("0"));

    Label5 = new TLabel(this);
    Label5->setAutoSize(false);
    place(Label5, 72, 144, 174, 55);
    Label5->setAlignment(taCenter);
    Label5->setFont(vclFont(Arial, 48, true, true));
    Label5->setFontColor(clr::Red);
    Label5->setCaption(QStringLiteral("Ready?"));

    Label6 = new TLabel(this);
    place(Label6, 144, 200, 27, 56);
    Label6->setFont(vclFont(Arial, 48, true));
    Label6->setFontColor(clr::Red);
    Label6->setColor(clr::Black);
    Label6->setCaption(QStringLiteral("3"));
    Label6->Tag = 3;

    Label7 = new TLabel(this);
    place(Label7, 12, 64, 55, 18);
    Label7->setFont(vclFont(SystemFont, 16));
    Label7->setColor(clr::Silver);
    Label7->setCaption(QStringLiteral("長さ(m)"));

    Label8 = new TLabel(this);
    Label8->setAutoSize(false);
    place(Label8, 256, 88, 48, 48);
    Label8->setAlignment(taRightJustify);
    Label8->setFont(vclFont(MsPGothic, 48));
    Label8->setFontColor(clr::Yellow);
    Label8->setColor(clr::Black);
    Label8->setCaption(QStringLiteral("10"));
    Label8->Tag = 10;

    Label9 = new TLabel(this);
    place(Label9, 235, 64, 92, 18);
    Label9->setFont(vclFont(SystemFont, 16));
    Label9->setCaption(QStringLiteral("残り時間(秒)"));

    // Every element of the game field shows the "no" cursor; only the bare
    // paper shows the window's own.
    for (QWidget *element : std::initializer_list<QWidget *>{
             Shape3, Shape1, Image1, Shape2, Image2, Label1, Label5, Label6, Label7, Label8,
             Label9})
        element->setCursor(platform::cursorFor(crNo));

    // The title menu covers the whole game field.
    Panel2 = new TPanel(this);
    place(Panel2, 0, 0, FieldWidth, FieldHeight);
    Panel2->setFont(vclFont(Arial, 13));
    Panel2->trackMouse();

    Label2 = new TLabel(Panel2);
    place(Label2, 72, 40, 184, 56);
    Label2->setFont(vclFont(Arial, 48, true));
    Label2->setFontColor(clr::Maroon);
    Label2->setCaption(QStringLiteral("TORVA"));

    Label3 = new TLabel(Panel2);
    place(Label3, 64, 168, 201, 16);
    Label3->setFont(vclFont(Arial, 13, false, true, true));
    Label3->setFontColor(clr::Green);
    Label3->setCaption(QStringLiteral("Copyright (C) 1999-2026 Quillon"));

    Label4 = new TLabel(Panel2);
    place(Label4, 128, 128, 77, 16);
    Label4->setFont(vclFont(Arial, 13, true));
    Label4->setCaption(QStringLiteral("Version 2.62"));

    Panel1 = flatButton(Panel2, 216, QStringLiteral("START"));
    Panel3 = flatButton(Panel2, 264, QStringLiteral("RANKING"));
    Panel3->Hide();
    Panel4 = flatButton(Panel2, 312, QStringLiteral("EXIT"));

    CheckBox1 = new TCheckBox(Panel2);
    place(CheckBox1, 96, 352, 177, 17);
    CheckBox1->setFont(vclFont(Arial, 13));
    QPalette red = CheckBox1->palette();
    red.setColor(QPalette::WindowText, clr::Red);
    CheckBox1->setPalette(red);
    CheckBox1->setText(QStringLiteral("Enhanced &SFC mode"));
    CheckBox1->hide();

    setCursorShape(crHourGlass);
    setMouseTracking(true);

    OnShow = [this] { FormShow(); };
    OnMouseDown = [this](TMouseButton b, TShiftState s, int x, int y) { FormMouseDown(b, s, x, y); };
    OnMouseMove = [this](TShiftState s, int x, int y) { FormMouseMove(s, x, y); };
    OnMouseUp = [this](TMouseButton b, TShiftState s, int x, int y) { FormMouseUp(b, s, x, y); };
    OnPaint = [this](QPainter &painter, const QRect &area) { FormPaint(painter, area); };
    OnClose = [this] { FormClose(); };
    Timer1->OnTimer = [this] { Timer1Timer(); };
    Panel1->OnMouseMove = [this](TShiftState s, int x, int y) { Panel1MouseMove(s, x, y); };
    Panel1->OnMouseDown = [this](TMouseButton b, TShiftState s, int x, int y) {
        Panel1MouseDown(b, s, x, y);
    };
    Panel1->OnMouseUp = [this](TMouseButton b, TShiftState s, int x, int y) {
        Panel1MouseUp(b, s, x, y);
    };
    Panel3->OnMouseMove = [this](TShiftState s, int x, int y) { Panel3MouseMove(s, x, y); };
    Panel3->OnMouseDown = [this](TMouseButton b, TShiftState s, int x, int y) {
        Panel3MouseDown(b, s, x, y);
    };
    Panel3->OnMouseUp = [this](TMouseButton b, TShiftState s, int x, int y) {
        Panel3MouseUp(b, s, x, y);
    };
    Panel4->OnMouseMove = [this](TShiftState s, int x, int y) { Panel4MouseMove(s, x, y); };
    Panel4->OnMouseDown = [this](TMouseButton b, TShiftState s, int x, int y) {
        Panel4MouseDown(b, s, x, y);
    };
    Panel4->OnMouseUp = [this](TMouseButton b, TShiftState s, int x, int y) {
        Panel4MouseUp(b, s, x, y);
    };
    Panel2->OnMouseMove = [this](TShiftState s, int x, int y) { Panel2MouseMove(s, x, y); };
    Label4->OnClick = [this] { Label4Click(); };
    Label2->OnClick = [this] { Label2Click(); };
}

void TForm1::FormShow()
{
    if (shown_)
        return;
    shown_ = true;
    TimeLimit = title::DefaultTimeLimit;
    CoastSpeed = 0;
    Pulling = false;
    PaperLineY = 10;
    PulledPixels = 0;

    static const char *const cursorNames[] = {":/cursors/CURSOR1.png", ":/cursors/CURSOR2.png",
                                              ":/cursors/CURSOR3.png"};
    constexpr int hotSpot = 16;
    for (int i = 0; i < 3; ++i) {
        const QPixmap picture(QString::fromLatin1(cursorNames[i]));
        platform::setScreenCursor(i + 1, QCursor(picture, hotSpot, hotSpot));
    }

    LoadRecords();

    QStringList parameters;
    for (int i = 1; i <= platform::ParamCount(); ++i)
        parameters.append(platform::ParamStr(i));
    TimeLimit = title::TimeLimitFromParameters(parameters, TimeLimit);
}

// ---------------------------------------------------------------- flat buttons

// The pointer over a button raises it unless it is pressed; the other two
// go flat.
void TForm1::hoverButton(TPanel *button)
{
    for (TPanel *other : {Panel1, Panel3, Panel4}) {
        if (other == button) {
            if (other->BevelOuter() == bvNone)
                other->setBevelOuter(bvRaised);
        } else if (other->BevelOuter() != bvNone) {
            other->setBevelOuter(bvNone);
        }
    }
}

void TForm1::Panel1MouseMove(TShiftState, int, int) { hoverButton(Panel1); }
void TForm1::Panel3MouseMove(TShiftState, int, int) { hoverButton(Panel3); }
void TForm1::Panel4MouseMove(TShiftState, int, int) { hoverButton(Panel4); }

void TForm1::Panel2MouseMove(TShiftState, int, int) { hoverButton(nullptr); }

void TForm1::Panel1MouseDown(TMouseButton, TShiftState, int, int) { Panel1->setBevelOuter(bvLowered); }
void TForm1::Panel3MouseDown(TMouseButton, TShiftState, int, int) { Panel3->setBevelOuter(bvLowered); }
void TForm1::Panel4MouseDown(TMouseButton, TShiftState, int, int) { Panel4->setBevelOuter(bvLowered); }

void TForm1::Panel1MouseUp(TMouseButton, TShiftState, int X, int Y)
{
    if (!title::ReleaseInside(X, Y, Panel1->Width(), Panel1->Height()))
        return;
    RoundStart();
}

void TForm1::Panel3MouseUp(TMouseButton, TShiftState, int X, int Y)
{
    if (!title::ReleaseInside(X, Y, Panel3->Width(), Panel3->Height()))
        return;
    Panel3->setBevelOuter(bvRaised);
    Form4->ShowModal();
}

void TForm1::Panel4MouseUp(TMouseButton, TShiftState, int X, int Y)
{
    if (!title::ReleaseInside(X, Y, Panel4->Width(), Panel4->Height()))
        return;
    Panel4->setBevelOuter(bvRaised);
    Close();
}

// ---------------------------------------------------------------- hidden counters

void TForm1::Label4Click()
{
    ++VersionClicks;
    if (VersionClicks == title::VersionClicksForCredits)
        Application->MessageBox(QStringLiteral("Programmed by Quillon"),
                                QStringLiteral("Quillon"), platform::MB_OK);
}

void TForm1::Label2Click()
{
    ++TitleClicks;
    if (TitleClicks == title::TitleClicksForHolyUp) {
        Application->MessageBox(QStringLiteral("ホーリーアップ!"),
                                QStringLiteral("Kernel System"), platform::MB_ICONQUESTION);
        TimeLimit = title::HolyUpTimeLimit;
    }
}

// ---------------------------------------------------------------- closing

void TForm1::FormClose() { SaveRecords(); }
