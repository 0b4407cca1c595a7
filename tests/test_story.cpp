// The story window played through the fakes: whole stories with their
// sounds, music and waits, the questionnaire's opening question, the reveal,
// the ways out, the music loop and input made while a step runs.
#include "dialogs/torva3.h"
#include "dialogs/torva5.h"
#include "dialogs/torva6.h"
#include "story/script.h"
#include "story/storyrules.h"
#include "story/torva2.h"
#include "support/testsupport.h"

#include <QFontMetrics>
#include <QTimer>

#include <deque>
#include <functional>

namespace {

const QString Name = QStringLiteral("ゆうしゃ");
const QString Open1 = QStringLiteral("open TORVAM1.MID");
const QString Play1 = QStringLiteral("play TORVAM1.MID notify");
const QString Seek1 = QStringLiteral("seek TORVAM1.MID to start");
const QString Stop1 = QStringLiteral("stop TORVAM1.MID");
const QString Close1 = QStringLiteral("close TORVAM1.MID");
const QString Open2 = QStringLiteral("open TORVAM2.MID");
const QString Play2 = QStringLiteral("play TORVAM2.MID notify");
const QString Stop2 = QStringLiteral("stop TORVAM2.MID");
const QString Close2 = QStringLiteral("close TORVAM2.MID");
const QStringList Story2Start{Open2, Play2};
const QStringList Story2Whole{Open2, Play2, Stop2, Close2};

constexpr unsigned DoFlags = platform::SND_RESOURCE | platform::SND_NODEFAULT;
constexpr unsigned VoiceFlags =
    platform::SND_RESOURCE | platform::SND_ASYNC | platform::SND_NODEFAULT | platform::SND_LOOP;
constexpr int StepLimit = 200; // far more than the longest story

// The line as the window shows it, with the test's name put in.
QString shown(const char *line)
{
    return QString::fromUtf8(line).replace("%s", Name);
}

// A clock that can act once in the middle of a wait, as a player would.
class ActingClock : public platform::FakeClock {
public:
    std::function<void()> onSleep;
    void sleep(int milliseconds) override
    {
        FakeClock::sleep(milliseconds);
        if (onSleep)
            std::exchange(onSleep, nullptr)();
    }
};

} // namespace

class TestStory : public QObject {
    Q_OBJECT

    struct Question {
        QString mes1;
        QString mes2;
        QStringList music;
    };

    int sex = 0;
    std::deque<int> answers; // Form6's answers in turn; yes once they run out
    QList<Question> asked;
    std::function<void()> whileAsked; // runs while a yes/no question is open
    std::function<void()> drive;      // plays the story once it is on screen
    int run = 0;                      // tells a late continuation it is stale

    static platform::FakeServices &fakes() { return testsupport::fakes(); }

    void answerName()
    {
        Form3->Edit1->setText(Name);
        if (auto *ok = Form3->findChild<TButton *>()) {
            ok->Click(); // the name box asks the sex itself
        } else {
            Form5->PlayerSex = sex;
            Form3->Close();
        }
    }
    void answerSex()
    {
        Form5->PlayerSex = sex;
        Form5->Decided = true;
        Form5->Close();
    }
    void answerYesNo()
    {
        asked.append({Form2->Mes1->Caption(), Form2->Mes2->Caption(), fakes().music.commands});
        if (whileAsked)
            whileAsked();
        Form6->Answer = answers.empty() ? 0 : answers.front();
        if (!answers.empty())
            answers.pop_front();
        Form6->Decided = true;
        Form6->Close();
    }

    static void click() { QTest::mouseClick(Form2, Qt::LeftButton, {}, QPoint(1, 1)); }
    static bool closing() { return Form2->ModalResult() != mrNone; }
    // Clicks until the story closes itself; returns the clicks.
    static int clickToTheEnd()
    {
        int clicks = 0;
        while (!closing() && clicks < StepLimit) {
            click();
            ++clicks;
        }
        return clicks;
    }
    // Ends a story that a test has seen enough of.
    static void leave()
    {
        Form2->Label3->Show();
        Form2->Close();
    }
    // The story's own sounds; the yes/no box chimes for itself.
    static QList<platform::FakeSound::Call> storySounds()
    {
        QList<platform::FakeSound::Call> calls = fakes().sound.calls;
        calls.removeIf([](const auto &call) { return call.name == QStringLiteral("PIRO"); });
        return calls;
    }
    static QStringList soundNames()
    {
        QStringList names;
        for (const auto &call : storySounds())
            names.append(call.name);
        return names;
    }

private Q_SLOTS:
    void initTestCase()
    {
        testsupport::createForms();
        platform::services().modalShown = [this](TForm &form) {
            if (&form == Form2 && drive) {
                drive();
                if (QTest::currentTestFailed())
                    leave(); // a failed check left the story open
            } else if (&form == Form3)
                answerName();
            else if (&form == Form5)
                answerSex();
            else if (&form == Form6)
                answerYesNo();
        };
    }

    void init()
    {
        ++run;
        fakes().clear();
        fakes().keyboard.shift = false;
        fakes().screen.screenSize = {1024, 768};
        Form2->Label3->Hide();
        Form2->SfcMode = false;
        sex = 0;
        answers.clear();
        asked.clear();
        whileAsked = nullptr;
        drive = nullptr;
    }

    void pureRevealWidths_data()
    {
        QTest::addColumn<int>("natural");
        QTest::addColumn<QList<int>>("widths");
        QTest::newRow("100 px: 7 passes, 96 px") << 100 << QList<int>{0, 16, 32, 48, 64, 80, 96};
        QTest::newRow("empty line: one pass") << 0 << QList<int>{0};
        QTest::newRow("15 px stays hidden") << 15 << QList<int>{0};
        QTest::newRow("16 px shown whole") << 16 << QList<int>{0, 16};
    }
    void pureRevealWidths()
    {
        QFETCH(int, natural);
        QFETCH(QList<int>, widths);
        QCOMPARE(RevealWidths(natural), widths);
    }

    void pureInsertName_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("result");
        QTest::newRow("speaker") << "%s「やあ"
                                 << "ロン"
                                 << "ロン「やあ";
        QTest::newRow("twice") << "%s と %s"
                               << "A"
                               << "A と A";
        QTest::newRow("no mark") << "しーん"
                                 << "ロン"
                                 << "しーん";
        QTest::newRow("empty name") << "a%sb"
                                    << ""
                                    << "ab";
        // Such a name is refused by the name box; here it must still end.
        QTest::newRow("name holding the mark") << "a%sb%s"
                                               << "%s"
                                               << "a%sb%s";
    }
    void pureInsertName()
    {
        QFETCH(QString, line);
        QFETCH(QString, name);
        QFETCH(QString, result);
        QCOMPARE(InsertName(line, name), result);
    }

    void showingLaysOutTheApology()
    {
        fakes().screen.screenSize = {800, 600};
        drive = [] {
            QCOMPARE(Form2->geometry(), QRect(0, 0, 800, 600));
            QVERIFY(Form2->Label1->Visible() && Form2->Label2->Visible());
            QCOMPARE(Form2->Label1->pos(), QPoint((800 - Form2->Label1->Width()) / 2, 200));
            QCOMPARE(Form2->Label2->pos(), QPoint((800 - Form2->Label2->Width()) / 2, 360));
            QVERIFY(!Form2->Panel1->Visible());
            QCOMPARE(Form2->Panel1->geometry(), QRect(0, 413, 800, 151));
            QCOMPARE(Form2->Image0->pos(), QPoint(392, 542));
            QVERIFY(Form2->Image0->Visible());
            QCOMPARE(Form2->Image1->pos(), QPoint(392, 129));
            QCOMPARE(Form2->Label3->pos(), QPoint(532, 600 - Form2->Label3->Height()));
            QVERIFY(Form2->Timer1->Enabled());
            QCOMPARE(Form2->focusWidget(), Form2->Button1);
            leave();
        };
        Form2->ShowModal();
        QVERIFY(fakes().sound.calls.isEmpty());
        QVERIFY(fakes().music.commands.isEmpty());
    }

    // A boy answers yes to everything and goes straight to the castle:
    // scenes 0 to 9, then 28 to 46 of SfcScriptBoy.
    void wholeSfcStory()
    {
        Form2->SfcMode = true;
        struct AfterStep {
            QString mes1;
            QStringList music;
        };
        QList<AfterStep> steps;
        whileAsked = [this] {
            if (asked.size() == 3) // the piece ends while a statement is thought over
                fakes().music.finish(platform::MCI_NOTIFY_SUCCESSFUL);
        };
        drive = [&steps] {
            while (!closing() && steps.size() < StepLimit) {
                click();
                steps.append({Form2->Mes1->Caption(), fakes().music.commands});
            }
        };
        Form2->ShowModal();

        QList<int> route;
        for (int scene = 0; scene <= 9; ++scene)
            route.append(scene);
        for (int scene = 28; scene <= 46; ++scene)
            route.append(scene);
        QCOMPARE(steps.size(), 9 + 19 + 1); // the question's answer shares a step
        QCOMPARE(Form2->YesCount, 59);

        // The questionnaire, with TORVAM1 from its first statement to its end.
        QCOMPARE(asked.size(), 59 + 1);
        for (int i = 0; i < 59; ++i) {
            QCOMPARE(asked[i].mes1, QString::fromUtf8(StatementsBoy[i]));
            QCOMPARE(asked[i].mes2, QString());
        }
        QCOMPARE(asked[0].music, (QStringList{Open1, Play1}));
        QCOMPARE(asked[58].music, (QStringList{Open1, Play1, Seek1, Play1}));
        QCOMPARE(fakes().music.lastCallback, Form2);

        // TORVAM2 from scene 3 on; the question at scene 9 is asked with it.
        const QStringList questionnaire{Open1, Play1, Seek1, Play1, Stop1, Close1};
        QCOMPARE(steps[0].mes1, shown(SfcScriptBoy[0].Line1));
        QCOMPARE(steps[2].mes1, shown(SfcScriptBoy[2].Line1));
        QCOMPARE(steps[2].music, questionnaire);
        QCOMPARE(steps[3].mes1, shown(SfcScriptBoy[3].Line1));
        QCOMPARE(steps[3].music, questionnaire + Story2Start);
        QCOMPARE(asked[59].mes1, shown(SfcScriptBoy[9].Line1));
        QCOMPARE(steps[9].mes1, shown(SfcScriptBoy[28].Line1));
        QCOMPARE(fakes().music.commands, questionnaire + Story2Whole);

        // "DO" at every step and after the name and the questionnaire, the
        // voice under speech, the instant scene 0 silent.
        QStringList sounds{"DO", "DO", "DO"};
        for (int scene : route) {
            if (scene != 0)
                sounds.append("DO");
            if (HasVoice(SfcScriptBoy[scene]))
                sounds << "RA"
                       << "";
        }
        sounds.append("DO"); // the end marker
        QCOMPARE(soundNames(), sounds);
        for (const auto &call : storySounds()) {
            const unsigned flags = call.name == "DO" ? DoFlags : call.name == "RA" ? VoiceFlags : 0;
            QCOMPARE(call.flags, flags);
        }

        // The two title cards, the panel's opening wait, then reveal passes.
        const QList<int> opening{200, 200, 1000, 200, 200, 200,  // "Quillon Presents"
                                 200, 200, 1000, 200, 200, 1000, // "TORVA"
                                 500};
        const QList<int> &sleeps = fakes().clock.sleeps;
        QCOMPARE(sleeps.mid(0, opening.size()), opening);
        QVERIFY(sleeps.size() > opening.size());
        for (int i = opening.size(); i < sleeps.size(); ++i)
            QCOMPARE(sleeps[i], RevealPassMs);
        QCOMPARE(Form2->Label4->Caption(), QStringLiteral("TORVA"));
        QCOMPARE(Form2->Label4->FontColor(), clr::Black);

        QVERIFY(Form2->Label3->Visible());
        QVERIFY(!Form2->isVisible());
        QVERIFY(Form2->MusicFile.isEmpty());
    }

    void refusingTheOpeningQuestion_data()
    {
        QTest::addColumn<bool>("hintShown");
        QTest::newRow("first viewing: plea and ask again") << false;
        QTest::newRow("later viewing: questionnaire skipped") << true;
    }
    void refusingTheOpeningQuestion()
    {
        QFETCH(bool, hintShown);
        Form2->SfcMode = true;
        Form2->Label3->setVisible(hintShown);
        answers = {1, 1, 0};
        QString firstScene;
        QStringList musicAfterFirstStep;
        drive = [&] {
            click();
            firstScene = Form2->Mes1->Caption();
            musicAfterFirstStep = fakes().music.commands;
            if (hintShown)
                QTest::mouseClick(Form2->Label3, Qt::LeftButton, {}, QPoint(2, 2));
            else
                clickToTheEnd();
        };
        Form2->ShowModal();
        QVERIFY(!Form2->isVisible());

        const QString opening = QString::fromUtf8(QuestionnaireOpening);
        const QString plea = QString::fromUtf8(QuestionnairePlea);
        if (hintShown) {
            QCOMPARE(asked.size(), 1);
            QCOMPARE(Form2->YesCount, 0);
            QCOMPARE(firstScene, shown(SfcScriptBoy[1].Line1));
            QCOMPARE(musicAfterFirstStep, (QStringList{Open1, Play1, Stop1, Close1}));
            QCOMPARE(fakes().music.commands, musicAfterFirstStep);
        } else {
            QCOMPARE(asked.size(), 2 + 59 + 1);
            QCOMPARE(asked[0].mes1, opening);
            QCOMPARE(asked[0].mes2, QString());
            QCOMPARE(asked[1].mes1, opening);
            QCOMPARE(asked[1].mes2, plea);
            QCOMPARE(asked[2].mes1, opening);
            QCOMPARE(asked[2].mes2, plea);
            QCOMPARE(asked[3].mes1, QString::fromUtf8(StatementsBoy[1]));
            QCOMPARE(asked[3].mes2, QString());
            QCOMPARE(Form2->YesCount, 59);
            QCOMPARE(firstScene, shown(SfcScriptBoy[0].Line1));
        }
    }

    // ShortScript scene 1: two lines of speech.
    void revealOfASpokenScene_data()
    {
        QTest::addColumn<bool>("shift");
        QTest::newRow("revealed with the voice") << false;
        QTest::newRow("Shift held: shown at once") << true;
    }
    void revealOfASpokenScene()
    {
        QFETCH(bool, shift);
        QList<int> natural, finalWidths, sleeps;
        QStringList sounds;
        drive = [&] {
            click();
            fakes().clear();
            fakes().keyboard.shift = shift;
            click();
            for (TLabel *line : {Form2->Mes1, Form2->Mes2, Form2->Mes3}) {
                natural.append(line->Caption().isEmpty()
                                   ? 0
                                   : QFontMetrics(line->font()).horizontalAdvance(line->Caption()));
                finalWidths.append(line->Width());
            }
            sleeps = fakes().clock.sleeps;
            sounds = soundNames();
            leave();
        };
        Form2->ShowModal();

        QVERIFY(natural[0] > 0 && natural[1] > 0);
        QCOMPARE(natural[2], 0);
        if (shift) {
            QCOMPARE(finalWidths, natural);
            QVERIFY(sleeps.isEmpty());
            QCOMPARE(sounds, QStringList{"DO"});
        } else {
            int passes = 0;
            for (int i = 0; i < 3; ++i) {
                QCOMPARE(finalWidths[i], natural[i] / 16 * 16);
                passes += natural[i] / 16 + 1;
            }
            QCOMPARE(sleeps, QList<int>(passes, RevealPassMs));
            QCOMPARE(sounds, (QStringList{"DO", "RA", ""}));
        }
    }

    void keysRunAStep_data()
    {
        QTest::addColumn<int>("key");
        QTest::newRow("Enter") << int(Qt::Key_Return);
        QTest::newRow("Esc") << int(Qt::Key_Escape);
        QTest::newRow("Space") << int(Qt::Key_Space);
    }
    void keysRunAStep()
    {
        QFETCH(int, key);
        QString scene;
        drive = [&] {
            click();
            QCOMPARE(Form2->focusWidget(), Form2->Button1);
            QTest::keyClick(Form2->focusWidget(), Qt::Key(key));
            scene = Form2->Mes1->Caption();
            leave();
        };
        Form2->ShowModal();
        QCOMPARE(scene, shown(ShortScript[1].Line1));
    }

    void inputDuringAStepIsDropped()
    {
        ActingClock clock;
        platform::Clock *const fakeClock = platform::services().clock;
        platform::services().clock = &clock;
        QString afterStep, afterNextClick;
        drive = [&] {
            click();
            clock.onSleep = [] {
                QCoreApplication::postEvent(Form2->Button1,
                                            new QKeyEvent(QEvent::KeyPress, Qt::Key_Return, {}));
                for (const auto type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease})
                    QCoreApplication::postEvent(
                        Form2, new QMouseEvent(type, QPointF(1, 1), QPointF(1, 1), Qt::LeftButton,
                                               type == QEvent::MouseButtonPress ? Qt::LeftButton
                                                                                : Qt::NoButton,
                                               {}));
            };
            click();
            QCoreApplication::processEvents();
            afterStep = Form2->Mes1->Caption();
            click();
            afterNextClick = Form2->Mes1->Caption();
            leave();
        };
        Form2->ShowModal();
        platform::services().clock = fakeClock;
        QCOMPARE(afterStep, shown(ShortScript[1].Line1));
        QCOMPARE(afterNextClick, shown(ShortScript[2].Line1));
    }

    void waysOut_data()
    {
        QTest::addColumn<bool>("hintShown");
        QTest::addColumn<int>("stepsFirst");
        QTest::addColumn<bool>("byHint"); // else Alt+F4
        QTest::addColumn<bool>("closes");
        QTest::addColumn<QStringList>("music");
        QTest::newRow("first story: Alt+F4 refused") << false << 4 << false << false << Story2Whole;
        QTest::newRow("later: Alt+F4 before scene 3")
            << true << 3 << false << true << QStringList();
        QTest::newRow("later: Alt+F4 after scene 3") << true << 4 << false << true << Story2Whole;
        QTest::newRow("later: hint after scene 3") << true << 4 << true << true << Story2Whole;
        QTest::newRow("later: hint at the apology") << true << 0 << true << true << QStringList();
    }
    void waysOut()
    {
        QFETCH(bool, hintShown);
        QFETCH(int, stepsFirst);
        QFETCH(bool, byHint);
        QFETCH(bool, closes);
        QFETCH(QStringList, music);
        Form2->Label3->setVisible(hintShown);
        bool refused = false;
        int stepsAfter = 0;
        const int thisRun = run;
        drive = [&] {
            for (int i = 0; i < stepsFirst; ++i)
                click();
            if (byHint)
                QTest::mouseClick(Form2->Label3, Qt::LeftButton, {}, QPoint(2, 2));
            else
                QTest::keyClick(Form2, Qt::Key_F4, Qt::AltModifier);
            // Once the close has been asked about, go on if the story is still there.
            QTimer::singleShot(0, Form2, [&, thisRun] {
                if (thisRun != run || !Form2->isVisible())
                    return;
                refused = true;
                stepsAfter = clickToTheEnd();
            });
        };
        Form2->ShowModal();
        QCOMPARE(refused, !closes);
        if (refused)
            QCOMPARE(stepsAfter, 10 - stepsFirst + 1); // on to the end marker
        QCOMPARE(fakes().music.commands, music);
        QVERIFY(Form2->MusicFile.isEmpty());
        QVERIFY(Form2->Label3->Visible());
    }

    void musicLoopsOnlyOnSuccess_data()
    {
        QTest::addColumn<QString>("playing");
        QTest::addColumn<int>("code");
        QTest::addColumn<QStringList>("commands");
        const QString piece = QStringLiteral("TORVAM2.MID");
        QTest::newRow("played to its end")
            << piece << int(platform::MCI_NOTIFY_SUCCESSFUL)
            << QStringList{"seek TORVAM2.MID to start", "play TORVAM2.MID notify"};
        QTest::newRow("superseded")
            << piece << int(platform::MCI_NOTIFY_SUPERSEDED) << QStringList();
        QTest::newRow("aborted") << piece << int(platform::MCI_NOTIFY_ABORTED) << QStringList();
        QTest::newRow("failed") << piece << int(platform::MCI_NOTIFY_FAILURE) << QStringList();
        QTest::newRow("late, after the stop")
            << QString() << int(platform::MCI_NOTIFY_SUCCESSFUL) << QStringList();
    }
    void musicLoopsOnlyOnSuccess()
    {
        QFETCH(QString, playing);
        QFETCH(int, code);
        QFETCH(QStringList, commands);
        Form2->MusicFile = playing;
        Form2->MciNotify(code);
        QCOMPARE(fakes().music.commands, commands);
        // The new play asks to be told of its end again.
        QCOMPARE(fakes().music.lastCallback, commands.isEmpty() ? nullptr : Form2);
        Form2->MusicFile.clear();
    }
};

TORVA_TEST_MAIN(TestStory)
#include "test_story.moc"
