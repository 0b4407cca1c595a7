#include "story/torva2.h"

#include "dialogs/torva3.h"
#include "dialogs/torva5.h"
#include "dialogs/torva6.h"
#include "story/script.h"
#include "story/storyrules.h"

#include <QCoreApplication>

TForm2 *Form2 = nullptr;

using platform::PlaySound;
using platform::SND_ASYNC;
using platform::SND_LOOP;
using platform::SND_NODEFAULT;
using platform::SND_RESOURCE;

namespace {
const QString MsPGothic = QStringLiteral("ＭＳ Ｐゴシック");
const QString SystemFont = QStringLiteral("System");
const QString PointerPicture = QStringLiteral(":/pictures/pointer_down.png");
const QString Plea = QString::fromUtf8(QuestionnairePlea);

constexpr int DesignWidth = 524;
constexpr int DesignHeight = 309;
constexpr int ApologyFontPixels = 21;
constexpr int MessageFontPixels = 16;
constexpr int HintFontPixels = 13;
constexpr int Panel1Height = 151;
constexpr int MessageLeft = 16;
constexpr int MessageTops[] = {24, 64, 104};
constexpr int BlinkMs = 300;
constexpr int PanelOpenWaitMs = 500;
constexpr int AnswerYes = 0;
constexpr int AnswerNo = 1;

const QString DoSound = QStringLiteral("DO");
const QString VoiceSound = QStringLiteral("RA");
constexpr unsigned DoFlags = SND_RESOURCE | SND_NODEFAULT;
constexpr unsigned VoiceFlags = SND_RESOURCE | SND_ASYNC | SND_NODEFAULT | SND_LOOP;

void playDo()
{
    PlaySound(DoSound, DoFlags);
}

TLabel *messageLine(TPanel *panel, int top)
{
    auto *line = new TLabel(panel);
    line->move(MessageLeft, top);
    line->setFont(vclFont(SystemFont, MessageFontPixels));
    line->setFontColor(clr::White);
    line->setCaption(QString());
    return line;
}

TImage *pointer(QWidget *parent, int left, int top)
{
    auto *image = new TImage(parent);
    image->setGeometry(left, top, PointerSize, PointerSize);
    image->Stretch = true;
    image->setPicture(QPixmap(PointerPicture));
    return image;
}

void sendMusic(const QString &command, platform::MciNotifyTarget *callback = nullptr)
{
    platform::services().music->sendString(command, callback);
}

// A title card tinted step by step, each tint painted before its wait.
void fade(TLabel *card, const TitleFade &steps)
{
    for (const FadeStep &step : steps) {
        card->setFontColor(step.colour);
        card->repaint();
        platform::Sleep(step.wait);
    }
}
} // namespace

TForm2::TForm2()
{
    setCaption(QStringLiteral("Story"));
    setBorderStyle(bsNoBorder);
    setStayOnTop(true);
    setColor(clr::Black);
    setFont(vclFont(MsPGothic, ApologyFontPixels, true));
    resize(DesignWidth, DesignHeight);

    Label1 = new TLabel(this);
    Label1->move(11, 24);
    Label1->setFont(vclFont(MsPGothic, ApologyFontPixels, true));
    Label1->setFontColor(clr::White);
    Label1->setCaption(QStringLiteral("ストーリーが初期のものと大きく変わってしまったことを"));

    Label2 = new TLabel(this);
    Label2->move(152, 80);
    Label2->setFont(vclFont(MsPGothic, ApologyFontPixels, true));
    Label2->setFontColor(clr::White);
    Label2->setCaption(QStringLiteral("お詫び申し上げます。"));

    Panel1 = new TPanel(this);
    Panel1->setGeometry(0, 120, DesignWidth, Panel1Height);
    Panel1->setColor(clr::Black);
    Panel1->setBevelOuter(bvRaised);
    Panel1->setBevelInner(bvLowered);
    Panel1->setFont(vclFont(SystemFont, MessageFontPixels));
    Panel1->setFontColor(clr::White);
    Panel1->Hide();
    Mes1 = messageLine(Panel1, MessageTops[0]);
    Mes2 = messageLine(Panel1, MessageTops[1]);
    Mes3 = messageLine(Panel1, MessageTops[2]);

    Button1 = new TButton(this);
    Button1->setGeometry(0, 0, 0, 0);
    Button1->Default = true;
    Button1->Cancel = true;

    Label3 = new TLabel(this);
    Label3->move(312, 288);
    Label3->setFont(vclFont(MsPGothic, HintFontPixels, false, false, true));
    Label3->setFontColor(clr::Yellow);
    Label3->setCaption(QStringLiteral("[Alt]+[F4]でとばすことができます。"));
    Label3->Hide();

    Image0 = pointer(this, 248, 280);

    Timer1 = new TTimer(this);
    Timer1->setEnabled(false);
    Timer1->setInterval(BlinkMs);

    Image1 = pointer(Panel1, 248, 129);

    Label4 = new TLabel(this);
    Label4->move(160, 56);
    Label4->setFont(vclFont(MsPGothic, ApologyFontPixels));
    Label4->setFontColor(clr::Silver);
    Label4->setCaption(QStringLiteral("Quillon Presents"));
    Label4->Hide();

    OnShow = [this] { FormShow(); };
    OnCloseQuery = [this](bool &canClose) { FormCloseQuery(canClose); };
    const TNotifyEvent step = [this] { Button1Click(); };
    OnClick = step;
    Label1->OnClick = step;
    Label2->OnClick = step;
    Image0->OnClick = step;
    Panel1->OnClick = step;
    Mes1->OnClick = step;
    Mes2->OnClick = step;
    Mes3->OnClick = step;
    Image1->OnClick = step;
    Button1->OnClick = step;
    Label3->OnClick = [this] { Label3Click(); };
    Timer1->OnTimer = [this] { Timer1Timer(); };
}

void TForm2::FormShow()
{
    const QSize screen = platform::services().screen->size();
    setBounds(0, 0, screen.width(), screen.height());
    const StoryLayout layout =
        StoryPlacement(screen, Label1->size(), Label2->size(), Panel1->Height(), Label3->size());
    Label1->move(layout.label1);
    Label2->move(layout.label2);
    Panel1->Hide();
    Label1->Show();
    Label2->Show();
    Panel1->setGeometry(0, layout.panel1Top, ClientWidth(), Panel1->Height());
    Image1->move(layout.image1);
    SceneIndex = 0;
    Label3->move(layout.label3);
    Button1->setEnabled(true);
    Button1->setFocus();
    Image0->move(layout.image0);
    raise();
    activateWindow();
    MusicFile.clear();
    Timer1->setEnabled(true);
    Image0->Show();
}

void TForm2::Timer1Timer()
{
    TImage *blinking = Panel1->Visible() ? Image1 : Image0;
    blinking->setVisible(!blinking->Visible());
}

// One step: the next scene (the whole opening at the first), or the end.
void TForm2::Button1Click()
{
    if (stepRunning_)
        return;
    stepRunning_ = true;
    const bool hintWasVisible = Label3->Visible();
    Timer1->setEnabled(false);
    Image0->Hide();
    Image1->Hide();
    Label3->Hide();
    for (TLabel *line : {Mes1, Mes2, Mes3})
        line->setCaption(QString());

    for (;;) {
        Button1->setEnabled(false);
        playDo();
        if (SceneIndex == 0)
            Opening(hintWasVisible);
        if (SceneIndex == 3)
            StartMusic(StoryMusic);
        const Scene &scene = SelectScript(SfcMode, Form5->PlayerSex, YesCount)[SceneIndex];
        ShowScene(scene);
        if (IsEndMarker(scene)) {
            StopMusic(StoryMusic);
            Label3->Show();
            DropInputMadeDuringStep();
            stepRunning_ = false;
            Close();
            return;
        }
        if (!IsInstant(scene) && !platform::services().keyboard->shiftDown())
            Reveal(HasVoice(scene));
        Button1->setEnabled(true);
        Button1->setFocus();
        if (!IsQuestion(scene)) {
            SceneIndex = NextScene(scene, SceneIndex, AnswerYes);
            break;
        }
        DropInputMadeDuringStep();
        Form6->ShowModal();
        SceneIndex = NextScene(scene, SceneIndex, Form6->Answer);
    }

    DropInputMadeDuringStep();
    Timer1->setEnabled(true);
    (Panel1->Visible() ? Image1 : Image0)->Show();
    Label3->setVisible(hintWasVisible);
    stepRunning_ = false;
}

// The first step of a showing: title cards, name and sex, the panel and, in
// SFC mode, the questionnaire.
void TForm2::Opening(bool hintWasVisible)
{
    Label1->Hide();
    Label2->Hide();
    Label4->setTop(ClientHeight() / 2);
    Label4->setCaption(QStringLiteral("Quillon Presents"));
    Label4->setLeft((ClientWidth() - Label4->Width()) / 2);
    Label4->Show();
    fade(Label4, FirstCardFade);
    Label4->setCaption(QStringLiteral("TORVA"));
    Label4->setLeft((ClientWidth() - Label4->Width()) / 2);
    fade(Label4, SecondCardFade);

    DropInputMadeDuringStep();
    Form3->ShowModal();
    playDo();
    Panel1->Show();
    repaint();
    platform::Sleep(PanelOpenWaitMs);
    if (SfcMode)
        Questionnaire(hintWasVisible);
}

void TForm2::Questionnaire(bool hintWasVisible)
{
    StartMusic(QuestionnaireMusic);
    YesCount = 0;
    const auto statements = SelectStatements(Form5->PlayerSex);
    for (int i = 0; i < static_cast<int>(statements.size()); ++i) {
        Mes1->setCaption(QString::fromUtf8(statements[i]));
        if (Mes1->Caption().isEmpty())
            break;
        Panel1->repaint();
        DropInputMadeDuringStep();
        Form6->ShowModal();
        if (Form6->Answer == AnswerYes)
            ++YesCount;
        Mes2->setCaption(QString());
        if (i == 0 && Form6->Answer == AnswerNo) {
            if (hintWasVisible) {
                SceneIndex = 1;
                break;
            }
            Mes2->setCaption(Plea);
            i = -1;
        }
    }
    StopMusic(QuestionnaireMusic);
    playDo();
}

void TForm2::ShowScene(const Scene &scene)
{
    Mes1->setCaption(SetPmesName(QString::fromUtf8(scene.Line1)));
    Mes2->setCaption(SetPmesName(QString::fromUtf8(scene.Line2)));
    Mes3->setCaption(SetPmesName(QString::fromUtf8(scene.Line3)));
}

// The lines grow from the left, 16 pixels per pass; up to 15 pixels at the
// right end stay hidden, where the script's lines hold blanks.
void TForm2::Reveal(bool voice)
{
    TLabel *const lines[] = {Mes1, Mes2, Mes3};
    int natural[std::size(lines)];
    for (std::size_t i = 0; i < std::size(lines); ++i) {
        natural[i] = lines[i]->Width();
        lines[i]->setWidth(0);
    }
    Panel1->repaint();
    if (voice)
        PlaySound(VoiceSound, VoiceFlags);
    for (std::size_t i = 0; i < std::size(lines); ++i) {
        for (const int width : RevealWidths(natural[i])) {
            lines[i]->setWidth(width);
            lines[i]->repaint();
            platform::Sleep(RevealPassMs);
        }
    }
    if (voice)
        PlaySound(QString(), 0);
}

QString TForm2::SetPmesName(const QString &text)
{
    return InsertName(text, Form3->Edit1->Text());
}

void TForm2::Label3Click()
{
    if (!MusicFile.isEmpty())
        StopMusic(MusicFile);
    Close();
}

void TForm2::FormCloseQuery(bool &CanClose)
{
    CanClose = Label3->Visible();
    if (CanClose && !MusicFile.isEmpty())
        StopMusic(MusicFile);
}

// The piece has played to its end: from the start again.
void TForm2::MciNotify(int wParam)
{
    if (wParam != platform::MCI_NOTIFY_SUCCESSFUL || MusicFile.isEmpty())
        return;
    sendMusic(MciSeekToStart(MusicFile));
    sendMusic(MciPlayNotify(MusicFile), this);
}

void TForm2::StartMusic(const QString &file)
{
    MusicFile = file;
    sendMusic(MciOpen(file));
    sendMusic(MciPlayNotify(file), this);
}

void TForm2::StopMusic(const QString &file)
{
    sendMusic(MciStop(file));
    sendMusic(MciClose(file));
    MusicFile.clear();
}

// The waits of a step hold clicks and keys back until the step is over.
// They are let through here while the step still counts as running, so they
// fall on the floor: an impatient player skips no scene unseen, and a key
// meant for the story does not answer the next dialog.
void TForm2::DropInputMadeDuringStep()
{
    Q_ASSERT(stepRunning_);
    QCoreApplication::processEvents();
}
