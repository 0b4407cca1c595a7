// The title appears before the windows it does not need are made: those
// follow its first paint, or come at once when the player acts first.
#include "app/startup.h"
#include "dialogs/torva3.h"
#include "dialogs/torva5.h"
#include "dialogs/torva6.h"
#include "game/torva1.h"
#include "platform/application.h"
#include "records/torva4.h"
#include "story/torva2.h"
#include "support/testsupport.h"

#include <QPointer>
#include <QTimer>

namespace {

bool otherWindowsMade()
{
    return Form2 && Form3 && Form4 && Form5 && Form6;
}
bool noOtherWindowMade()
{
    return !Form2 && !Form3 && !Form4 && !Form5 && !Form6;
}

// Notes whether anything in the main window had been painted when the other
// windows were first all there.
class PaintBeforeWindows : public QObject {
public:
    bool paintedFirst = false;
    bool windowsBeforePaint = false;

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && watched->isWidgetType() &&
            static_cast<QWidget *>(watched)->window() == Form1) {
            if (!painted_ && otherWindowsMade())
                windowsBeforePaint = true;
            painted_ = true;
        }
        return false;
    }
    void check()
    {
        if (otherWindowsMade() && !seen_) {
            seen_ = true;
            paintedFirst = painted_;
        }
    }

private:
    bool painted_ = false;
    bool seen_ = false;
};

class LaterWindow : public TForm {};
LaterWindow *laterWindow = nullptr;

} // namespace

class TestFormCreation : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void otherWindowsFollowTheTitlesFirstPaint()
    {
        CreateForms();
        QVERIFY(Form1);
        QVERIFY(noOtherWindowMade());

        PaintBeforeWindows watch;
        qApp->installEventFilter(&watch);
        QTimer poll;
        poll.setInterval(1);
        int polls = 0;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            watch.check();
            if (otherWindowsMade() || ++polls > 5000)
                Form1->close();
        });
        poll.start();
        Application->Run();
        qApp->removeEventFilter(&watch);

        QVERIFY(otherWindowsMade());
        QVERIFY(watch.paintedFirst);
        QVERIFY(!watch.windowsBeforePaint);
        QVERIFY(!Application->HasPendingForms());
    }

    void aPressBeforeThenMakesThemFirst_data()
    {
        QTest::addColumn<int>("type");
        QTest::newRow("mouse press") << int(QEvent::MouseButtonPress);
        QTest::newRow("key press") << int(QEvent::KeyPress);
    }

    void aPressBeforeThenMakesThemFirst()
    {
        QFETCH(int, type);
        delete laterWindow;
        laterWindow = nullptr;
        Application->CreateFormLater(laterWindow);
        QVERIFY(!laterWindow);
        QVERIFY(Application->HasPendingForms());

        // The press reaches a window that exists already; by then the
        // waiting one has been made.
        QPointer<LaterWindow> seenAtPress;
        QWidget target;
        struct Spy : QObject {
            QPointer<LaterWindow> *seen;
            bool eventFilter(QObject *, QEvent *event) override
            {
                if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::KeyPress)
                    *seen = laterWindow;
                return false;
            }
        } spy;
        spy.seen = &seenAtPress;
        target.installEventFilter(&spy);
        if (type == QEvent::MouseButtonPress) {
            QMouseEvent press(QEvent::MouseButtonPress, QPointF(1, 1), QPointF(1, 1),
                              Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(&target, &press);
        } else {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
            QApplication::sendEvent(&target, &press);
        }
        QVERIFY(laterWindow);
        QCOMPARE(seenAtPress.data(), laterWindow);
        QVERIFY(!Application->HasPendingForms());
    }

    void otherEventsLeaveThemWaiting()
    {
        delete laterWindow;
        laterWindow = nullptr;
        Application->CreateFormLater(laterWindow);
        QWidget target;
        QMouseEvent move(QEvent::MouseMove, QPointF(1, 1), QPointF(1, 1), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(&target, &move);
        QVERIFY(!laterWindow);
        Application->CreatePendingForms();
        QVERIFY(laterWindow);
    }
};

TORVA_TEST_MAIN(TestFormCreation)
#include "test_form_creation.moc"
