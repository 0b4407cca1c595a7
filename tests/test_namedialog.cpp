// The name box as the player uses it: OK follows the text, refused names,
// the sex box asked before it closes, refused close requests, the byte limit
// and the characters the records cannot hold, whichever way they come in.
#include "dialogs/torva3.h"
#include "dialogs/torva5.h"
#include "platform/cp932.h"
#include "platform/services.h"
#include "support/testsupport.h"

#include <QClipboard>
#include <QInputMethodEvent>

namespace {

// A box left open by a test fails it after this long instead of hanging.
constexpr int WatchdogMilliseconds = 5000;
constexpr int SettlingPasses = 3;

const QString Prompt = QStringLiteral("あなたの名前を入力してください。");
const QString Refusal = QStringLiteral("自分の名前を入れてください。");

enum class Way { Keys, Paste, InputMethod };

// Keys carrying any text, as a keyboard layout or an input method in
// direct mode delivers them.
void typeText(QWidget *edit, const QString &text)
{
    for (qsizetype at = 0; at < text.size(); ++at) {
        QString character = text.mid(at, 1);
        if (text[at].isHighSurrogate() && at + 1 < text.size())
            character = text.mid(at++, 2);
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, character);
        QApplication::sendEvent(edit, &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, character);
        QApplication::sendEvent(edit, &release);
    }
}

void commitText(QWidget *edit, const QString &text)
{
    QInputMethodEvent preedit(text, {});
    QApplication::sendEvent(edit, &preedit);
    QInputMethodEvent commit;
    commit.setCommitString(text);
    QApplication::sendEvent(edit, &commit);
}

void insertBy(Way way, TEdit *edit, const QString &text)
{
    switch (way) {
    case Way::Keys:
        typeText(edit, text);
        break;
    case Way::Paste:
        QGuiApplication::clipboard()->setText(text);
        edit->paste();
        break;
    case Way::InputMethod:
        commitText(edit, text);
        break;
    }
}

} // namespace

Q_DECLARE_METATYPE(Way)

class TestNameDialog : public QObject {
    Q_OBJECT

    std::function<void()> onName_;
    std::function<void()> onSex_;
    int sexShown_ = 0;
    QTimer watchdog_;
    bool leftOpen_ = false;

    int showNameBox(std::function<void()> onName)
    {
        onName_ = std::move(onName);
        leftOpen_ = false;
        watchdog_.start(WatchdogMilliseconds);
        const int result = Form3->ShowModal();
        watchdog_.stop();
        return result;
    }

    static void pressReturn() { QTest::keyClick(Form3->Edit1, Qt::Key_Return); }

    static void addWays()
    {
        QTest::addColumn<Way>("way");
        QTest::addColumn<QString>("before");
        QTest::addColumn<int>("cursor");
        QTest::addColumn<QString>("inserted");
        QTest::addColumn<QString>("after");
    }

private Q_SLOTS:
    void initTestCase()
    {
        testsupport::createForms();
        platform::services().modalShown = [this](TForm &form) {
            if (&form == Form3 && onName_) {
                onName_();
            } else if (&form == Form5) {
                ++sexShown_;
                if (onSex_)
                    onSex_();
                else
                    QTest::keyClick(Form5, Qt::Key_Down);
                QTest::keyClick(Form5, Qt::Key_Return);
            }
        };
        watchdog_.setSingleShot(true);
        connect(&watchdog_, &QTimer::timeout, this, [this] {
            leftOpen_ = true;
            Form5->Decided = true;
            Form5->Close();
            Form3->Decided = true;
            Form3->Close();
        });
    }

    void init()
    {
        // Between two stories the game's loop runs on and handles what the
        // last showing left queued (the window activations among others).
        for (int pass = 0; pass < SettlingPasses; ++pass)
            QCoreApplication::processEvents();
        testsupport::fakes().clear();
        sexShown_ = 0;
        onSex_ = {};
    }

    // Runs first: the box is centred at its first showing only.
    void firstShowingAsksForANameAndTheSex()
    {
        testsupport::fakes().screen.screenSize = QSize(1024, 768);
        bool emptyAndDisabled = false;
        bool enabledByTyping = false;
        bool disabledByDeleting = false;
        bool emptyReturnIgnored = false;
        QString prompt;
        QColor promptColour;
        const int result = showNameBox([&] {
            prompt = Form3->Label1->Caption();
            promptColour = Form3->Label1->FontColor();
            emptyAndDisabled = Form3->Edit1->Text().isEmpty() && !Form3->Button1->isEnabled();
            QTest::keyClicks(Form3->Edit1, QStringLiteral("a"));
            enabledByTyping = Form3->Button1->isEnabled();
            QTest::keyClick(Form3->Edit1, Qt::Key_Backspace);
            disabledByDeleting = !Form3->Button1->isEnabled();
            pressReturn();
            emptyReturnIgnored = sexShown_ == 0 && !Form3->Decided;
            QTest::keyClicks(Form3->Edit1, QStringLiteral("Hero"));
            pressReturn();
        });
        QVERIFY(!leftOpen_);
        QCOMPARE(prompt, Prompt);
        QCOMPARE(promptColour, clr::White);
        QVERIFY(emptyAndDisabled);
        QVERIFY(enabledByTyping);
        QVERIFY(disabledByDeleting);
        QVERIFY(emptyReturnIgnored);
        QCOMPARE(sexShown_, 1);
        QCOMPARE(Form5->PlayerSex, 1);
        QCOMPARE(result, int(mrCancel));
        QVERIFY(!Form3->isVisible());
        QCOMPARE(Form3->Edit1->Text(), QStringLiteral("Hero"));
        QCOMPARE(QPoint(Form3->Left(), Form3->Top()), QPoint(310, 306));
    }

    void refusedNameTurnsThePromptYellowAndBeeps()
    {
        QString typedOver;
        QString caption;
        QColor colour;
        bool okDisabled = false;
        bool stillOpen = false;
        QString textKept;
        QList<unsigned> beeps;
        bool disabledReturnIgnored = false;
        bool enabledByTyping = false;
        showNameBox([&] {
            // The name offered again is selected: typing replaces it.
            QTest::keyClicks(Form3->Edit1, QStringLiteral("roto"));
            typedOver = Form3->Edit1->Text();
            pressReturn();
            caption = Form3->Label1->Caption();
            colour = Form3->Label1->FontColor();
            okDisabled = !Form3->Button1->isEnabled();
            stillOpen = sexShown_ == 0 && !Form3->Decided;
            textKept = Form3->Edit1->Text();
            beeps = testsupport::fakes().sound.beeps;
            pressReturn();
            disabledReturnIgnored =
                sexShown_ == 0 && !Form3->Decided && testsupport::fakes().sound.beeps.size() == 1;
            QTest::keyClicks(Form3->Edit1, QStringLiteral("x"));
            enabledByTyping = Form3->Button1->isEnabled();
            pressReturn();
        });
        QVERIFY(!leftOpen_);
        QCOMPARE(typedOver, QStringLiteral("roto"));
        QCOMPARE(caption, Refusal);
        QCOMPARE(colour, clr::Yellow);
        QVERIFY(okDisabled);
        QVERIFY(stillOpen);
        QCOMPARE(textKept, QStringLiteral("roto"));
        QCOMPARE(beeps, QList<unsigned>{platform::MB_ICONHAND});
        QVERIFY(disabledReturnIgnored);
        QVERIFY(enabledByTyping);
        QCOMPARE(sexShown_, 1);
        QCOMPARE(Form3->Edit1->Text(), QStringLiteral("rotox"));
        // The refusal stays up until the next story.
        QCOMPARE(Form3->Label1->Caption(), Refusal);
    }

    void nextStoryOffersThePreviousNameWhereTheBoxWas()
    {
        testsupport::fakes().screen.screenSize = QSize(640, 480);
        QString caption;
        QColor colour;
        bool okEnabled = false;
        showNameBox([&] {
            caption = Form3->Label1->Caption();
            colour = Form3->Label1->FontColor();
            okEnabled = Form3->Button1->isEnabled();
            QTest::mouseClick(Form3->Button1, Qt::LeftButton);
        });
        QVERIFY(!leftOpen_);
        QCOMPARE(caption, Prompt);
        QCOMPARE(colour, clr::White);
        QVERIFY(okEnabled);
        QCOMPARE(sexShown_, 1);
        QCOMPARE(Form3->Edit1->Text(), QStringLiteral("rotox"));
        QCOMPARE(QPoint(Form3->Left(), Form3->Top()), QPoint(310, 306));
    }

    // OK pressed from the keyboard focus: the refused name comes back
    // selected in the edit, so the next name is typed over it.
    void refusalFromTheButtonSelectsTheName()
    {
        QString selected;
        bool okDisabled = false;
        showNameBox([&] {
            typeText(Form3->Edit1, QStringLiteral("ﾛﾄ"));
            QTest::keyClick(Form3->Edit1, Qt::Key_Tab);
            QTest::keyClick(Form3->Button1, Qt::Key_Space);
            selected = Form3->Edit1->selectedText();
            okDisabled = !Form3->Button1->isEnabled();
            QTest::keyClicks(Form3->Edit1, QStringLiteral("Taro"));
            pressReturn();
        });
        QVERIFY(!leftOpen_);
        QCOMPARE(selected, QStringLiteral("ﾛﾄ"));
        QVERIFY(okDisabled);
        QCOMPARE(testsupport::fakes().sound.beeps, QList<unsigned>{platform::MB_ICONHAND});
        QCOMPARE(Form3->Edit1->Text(), QStringLiteral("Taro"));
    }

    void closeRequestsWaitForTheNameAndTheSex()
    {
        bool openAfterAltF4 = false;
        bool openAfterClose = false;
        bool sexOpenAfterAltF4 = false;
        bool nameOpenUnderSex = false;
        onSex_ = [&] {
            QTest::keyClick(Form5, Qt::Key_F4, Qt::AltModifier);
            sexOpenAfterAltF4 = !Form5->Decided;
            nameOpenUnderSex = Form3->isVisible() && !Form3->Decided;
        };
        showNameBox([&] {
            QTest::keyClick(Form3->Edit1, Qt::Key_F4, Qt::AltModifier);
            // The refusal is answered once the modal loop runs again.
            QTimer::singleShot(0, Form3, [&] {
                openAfterAltF4 = Form3->isVisible() && !Form3->Decided;
                Form3->close();
                QTimer::singleShot(0, Form3, [&] {
                    openAfterClose = Form3->isVisible() && !Form3->Decided;
                    pressReturn();
                });
            });
        });
        QVERIFY(!leftOpen_);
        QVERIFY(openAfterAltF4);
        QVERIFY(openAfterClose);
        QVERIFY(sexOpenAfterAltF4);
        QVERIFY(nameOpenUnderSex);
        QCOMPARE(sexShown_, 1);
        QVERIFY(!Form3->isVisible());
    }

    // The edit on its own, with the box shown but not modal.
    void limitCountsCodePageBytes_data()
    {
        addWays();
        const struct {
            Way way;
            const char *name;
        } ways[] = {{Way::Keys, "keys"}, {Way::Paste, "paste"}, {Way::InputMethod, "commit"}};
        for (const auto &w : ways) {
            QTest::addRow("%s: half-width", w.name)
                << w.way << QString() << 0 << QStringLiteral("abcdefghijklmnop")
                << QStringLiteral("abcdefghijklmn");
            QTest::addRow("%s: full-width", w.name)
                << w.way << QString() << 0 << QStringLiteral("あいうえおかきくけ")
                << QStringLiteral("あいうえおかき");
            QTest::addRow("%s: half-width katakana", w.name)
                << w.way << QStringLiteral("ﾀﾛｳ") << 3 << QStringLiteral("ﾀﾛｳﾀﾛｳﾀﾛｳﾀﾛｳ")
                << QStringLiteral("ﾀﾛｳﾀﾛｳﾀﾛｳﾀﾛｳﾀﾛ");
            QTest::addRow("%s: mixed, full-width after 13 bytes", w.name)
                << w.way << QStringLiteral("abcde") << 5 << QStringLiteral("あいうえおか")
                << QStringLiteral("abcdeあいうえ");
            QTest::addRow("%s: into the middle", w.name)
                << w.way << QStringLiteral("abcdefghij") << 2 << QStringLiteral("XYZWV")
                << QStringLiteral("abXYZWcdefghij");
            QTest::addRow("%s: full at 14 bytes", w.name)
                << w.way << QStringLiteral("あいうえおかき") << 7 << QStringLiteral("a")
                << QStringLiteral("あいうえおかき");
        }
        // Each key is its own insertion: a half-width letter still fits
        // where the full-width character before it did not.
        QTest::addRow("keys: half-width after a full-width that did not fit")
            << Way::Keys << QStringLiteral("abcdefghijklm") << 13 << QStringLiteral("あn")
            << QStringLiteral("abcdefghijklmn");
    }
    void limitCountsCodePageBytes()
    {
        QFETCH(Way, way);
        QFETCH(QString, before);
        QFETCH(int, cursor);
        QFETCH(QString, inserted);
        QFETCH(QString, after);
        Form3->show();
        Form3->Edit1->setText(before);
        Form3->Edit1->setCursorPosition(cursor);
        insertBy(way, Form3->Edit1, inserted);
        Form3->hide();
        QCOMPARE(Form3->Edit1->Text(), after);
        QVERIFY(platform::cp932Length(Form3->Edit1->Text()) <= 14);
        QVERIFY(testsupport::fakes().sound.beeps.isEmpty());
    }

    void refusesWhatTheRecordsCannotHold_data()
    {
        addWays();
        const struct {
            Way way;
            const char *name;
        } ways[] = {{Way::Keys, "keys"}, {Way::Paste, "paste"}, {Way::InputMethod, "commit"}};
        for (const auto &w : ways) {
            QTest::addRow("%s: emoji", w.name) << w.way << QStringLiteral("ab") << 2
                                               << QStringLiteral("😀") << QStringLiteral("ab");
            QTest::addRow("%s: simplified chinese", w.name)
                << w.way << QStringLiteral("ab") << 1 << QStringLiteral("这")
                << QStringLiteral("ab");
            QTest::addRow("%s: hangul", w.name)
                << w.way << QString() << 0 << QStringLiteral("한") << QString();
        }
        // What can be held is kept as the records will read it back.
        QTest::addRow("commit: wave dash") << Way::InputMethod << QStringLiteral("た") << 1
                                           << QStringLiteral("〜") << QStringLiteral("た～");
        QTest::addRow("paste: text around an emoji is not taken either")
            << Way::Paste << QStringLiteral("ab") << 2 << QStringLiteral("cd😀ef")
            << QStringLiteral("ab");
        QTest::addRow("paste: two lines")
            << Way::Paste << QString() << 0 << QStringLiteral("Taro\nHanako") << QString();
    }
    void refusesWhatTheRecordsCannotHold()
    {
        QFETCH(Way, way);
        QFETCH(QString, before);
        QFETCH(int, cursor);
        QFETCH(QString, inserted);
        QFETCH(QString, after);
        Form3->show();
        Form3->Edit1->setText(before);
        Form3->Edit1->setCursorPosition(cursor);
        testsupport::fakes().clear();
        insertBy(way, Form3->Edit1, inserted);
        Form3->hide();
        QCOMPARE(Form3->Edit1->Text(), after);
        const bool refused = !after.contains(inserted.left(1)) && !inserted.contains(u'〜');
        QCOMPARE(testsupport::fakes().sound.beeps,
                 refused ? QList<unsigned>{platform::MB_ICONHAND} : QList<unsigned>{});
        QCOMPARE(platform::fromCp932(platform::toCp932(Form3->Edit1->Text())),
                 Form3->Edit1->Text());
    }
};

TORVA_TEST_MAIN(TestNameDialog)
#include "test_namedialog.moc"
