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
};

TORVA_TEST_MAIN(TestLabels)
#include "test_labels.moc"
