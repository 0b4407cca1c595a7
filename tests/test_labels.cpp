// Auto-sized labels take the size of their text whenever their caption or
// font is set, even when the text measures as it did before.
#include "platform/controls.h"
#include "support/testsupport.h"

#include <QFontMetrics>

class TestLabels : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void settingTheSameCaptionFitsItAgain()
    {
        QWidget parent;
        TLabel label(&parent);
        label.setFont(vclFont(QStringLiteral("ＭＳ Ｐゴシック"), 16));
        label.setCaption(QStringLiteral("それは　あさ。"));
        const QFontMetrics metrics(label.font());
        const QSize fitted(metrics.horizontalAdvance(label.Caption()), metrics.height());
        QCOMPARE(label.size(), fitted);

        // A scene's line is narrowed while it is revealed; the next scene
        // with the same line starts again from the whole text.
        label.setWidth(0);
        label.setCaption(label.Caption());
        QCOMPARE(label.size(), fitted);

        label.setFont(vclFont(QStringLiteral("ＭＳ Ｐゴシック"), 32));
        QVERIFY(label.Width() > fitted.width());
        QVERIFY(label.Height() > fitted.height());
    }

    void aRightJustifiedLabelKeepsItsRightEdge()
    {
        QWidget parent;
        TLabel label(&parent);
        label.setGeometry(53, 96, 16, 33);
        label.setAlignment(taRightJustify);
        label.setCaption(QStringLiteral("1"));
        const int right = label.Left() + label.Width();
        QCOMPARE(right, 69);
        label.setCaption(QStringLiteral("12"));
        QCOMPARE(label.Left() + label.Width(), right);
        label.setCaption(QStringLiteral("12"));
        QCOMPARE(label.Left() + label.Width(), right);
        QCOMPARE(label.Width(), QFontMetrics(label.font()).horizontalAdvance(QStringLiteral("12")));
    }

    void anEmptyCaptionIsAsHighAsTheFont()
    {
        QWidget parent;
        TLabel label(&parent);
        label.setCaption(QString());
        QCOMPARE(label.Width(), 0);
        label.setWidth(5);
        label.setCaption(QString());
        QCOMPARE(label.size(), QSize(0, QFontMetrics(label.font()).height()));
    }

    // Measuring loads fonts, so a label that cannot be seen is measured when
    // it can: its size is right whenever it is read or painted.
    void aCoveredLabelIsMeasuredWhenItComesOut_data()
    {
        QTest::addColumn<int>("way");
        QTest::newRow("the panel hides") << 0;
        QTest::newRow("the panel moves away") << 1;
        QTest::newRow("the label moves away") << 2;
    }
    void aCoveredLabelIsMeasuredWhenItComesOut()
    {
        QFETCH(int, way);
        QWidget window;
        window.resize(300, 200);
        TLabel label(&window);
        label.setGeometry(10, 10, 5, 5);
        label.setFont(vclFont(QStringLiteral("System"), 16));
        label.setCaption(QStringLiteral("残り時間(秒)"));
        TPanel panel(&window);
        panel.setGeometry(0, 0, 150, 100);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        const QFontMetrics metrics(label.font());
        const QSize fitted(metrics.horizontalAdvance(label.Caption()), metrics.height());
        QCOMPARE(label.QLabel::size(), QSize(5, 5)); // not measured while covered

        bool paintedUnmeasured = false;
        struct Spy : QObject {
            bool *unmeasured;
            QSize fitted;
            bool eventFilter(QObject *watched, QEvent *event) override
            {
                if (event->type() == QEvent::Paint &&
                    static_cast<QLabel *>(watched)->QLabel::size() != fitted)
                    *unmeasured = true;
                return false;
            }
        } spy;
        spy.unmeasured = &paintedUnmeasured;
        spy.fitted = fitted;
        label.installEventFilter(&spy);

        if (way == 0)
            panel.Hide();
        else if (way == 1)
            panel.setLeft(150);
        else
            label.move(200, 150);
        QCOMPARE(label.QLabel::size(), fitted);
        QTRY_VERIFY(label.isVisible() && !label.visibleRegion().isEmpty());
        QTest::qWait(20);
        QVERIFY(!paintedUnmeasured);
    }

    // A window not yet shown measures its labels late; a place given after
    // the caption still wins, as it would had the text been measured at once.
    void aPlaceGivenAfterTheCaptionStays()
    {
        QWidget window;
        TLabel label(&window);
        label.setCaption(QStringLiteral("Version 2.62"));
        label.setGeometry(128, 128, 50, 60);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(label.QLabel::geometry(), QRect(128, 128, 50, 60));
    }

    void aCoveredLabelReadIsMeasuredFirst()
    {
        QWidget window;
        TLabel label(&window);
        label.setAlignment(taRightJustify);
        label.setGeometry(53, 96, 16, 33);
        TPanel panel(&window);
        panel.setGeometry(0, 0, 200, 200);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        label.setCaption(QStringLiteral("12"));
        const int advance = QFontMetrics(label.font()).horizontalAdvance(QStringLiteral("12"));
        QCOMPARE(label.Width(), advance);
        QCOMPARE(label.Left() + label.Width(), 69);
    }
};

TORVA_TEST_MAIN(TestLabels)
#include "test_labels.moc"
