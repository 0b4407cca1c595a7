// A game that is ending unwinds whatever runs: a dialog that refuses to
// close without an answer gives up, waits and message boxes are skipped.
#include "dialogs/torva6.h"
#include "platform/application.h"
#include "platform/realservices.h"
#include "support/testsupport.h"

#include <QElapsedTimer>

class TestTermination : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void endingGameUnwindsDialogsWaitsAndMessages()
    {
        testsupport::createForms();
        QVERIFY(!platform::terminating());
        bool asked = false;
        platform::services().modalShown = [&asked](TForm &form) {
            asked = true;
            QVERIFY(form.isVisible());
            platform::beginTermination();
        };
        const int result = Form6->ShowModal();
        QVERIFY(asked);
        QVERIFY(platform::terminating());
        QCOMPARE(result, int(mrCancel));
        QVERIFY(!Form6->Decided); // closed without an answer
        QVERIFY(!Form6->isVisible());

        platform::RealClock clock;
        QElapsedTimer timer;
        timer.start();
        clock.sleep(5000);
        QVERIFY(timer.elapsed() < 1000);

        platform::QtMessageBoxes messages;
        QCOMPARE(messages.show(QStringLiteral("?"), QStringLiteral("TORVA"), platform::MB_OK),
                 int(platform::IDOK));
        QCOMPARE(messages.show(QStringLiteral("?"), QStringLiteral("TORVA"),
                               platform::MB_YESNO | platform::MB_ICONQUESTION),
                 int(platform::IDNO));
    }
};

TORVA_TEST_MAIN(TestTermination)
#include "test_termination.moc"
