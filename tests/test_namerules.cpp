// Which names the hero may take, and what the name box keeps of a change:
// the byte limit in code page 932 and the characters the records can hold.
#include "dialogs/namerules.h"
#include "platform/cp932.h"
#include "support/testsupport.h"

using namerules::NameFit;

class TestNameRules : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void refusedNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("refused");

        QTest::newRow("hiragana") << QStringLiteral("ろと") << true;
        QTest::newRow("katakana") << QStringLiteral("ロト") << true;
        QTest::newRow("half-width katakana") << QStringLiteral("ﾛﾄ") << true;
        QTest::newRow("upper case") << QStringLiteral("ROTO") << true;
        QTest::newRow("lower case") << QStringLiteral("roto") << true;
        QTest::newRow("mixed case") << QStringLiteral("RoTo") << true;
        QTest::newRow("placeholder alone") << QStringLiteral("%s") << true;
        QTest::newRow("placeholder inside") << QStringLiteral("a%sb") << true;
        QTest::newRow("placeholder at the end") << QStringLiteral("ロト%s") << true;

        QTest::newRow("katakana and a blank") << QStringLiteral("ロト ") << false;
        QTest::newRow("blank and latin") << QStringLiteral(" ROTO") << false;
        QTest::newRow("typed twice") << QStringLiteral("ロトロト") << false;
        QTest::newRow("hiragana and katakana") << QStringLiteral("ろト") << false;
        QTest::newRow("full-width latin") << QStringLiteral("ＲＯＴＯ") << false;
        QTest::newRow("full-width lower latin") << QStringLiteral("ｒｏｔｏ") << false;
        QTest::newRow("capital S") << QStringLiteral("%S") << false;
        QTest::newRow("lone percent") << QStringLiteral("%") << false;
        QTest::newRow("reversed") << QStringLiteral("s%") << false;
        QTest::newRow("full-width percent") << QStringLiteral("％s") << false;
        QTest::newRow("blanks only") << QStringLiteral("   ") << false;
        QTest::newRow("ordinary name") << QStringLiteral("たろう") << false;
    }
    void refusedNames()
    {
        QFETCH(QString, name);
        QFETCH(bool, refused);
        QCOMPARE(namerules::isRefusedName(name), refused);
    }

    void okNeedsSomeText()
    {
        QVERIFY(!namerules::canSubmit(QString()));
        QVERIFY(namerules::canSubmit(QStringLiteral(" ")));
    }

    // The cursor stands after what was just inserted.
    void fitsTheByteLimit_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("cursor");
        QTest::addColumn<QString>("kept");
        QTest::addColumn<int>("keptCursor");

        QTest::newRow("14 half-width fit")
            << QStringLiteral("abcdefghijklmn") << 14 << QStringLiteral("abcdefghijklmn") << 14;
        QTest::newRow("15th half-width cut")
            << QStringLiteral("abcdefghijklmno") << 15 << QStringLiteral("abcdefghijklmn") << 14;
        QTest::newRow("7 full-width fit")
            << QStringLiteral("あいうえおかき") << 7 << QStringLiteral("あいうえおかき") << 7;
        QTest::newRow("8th full-width cut")
            << QStringLiteral("あいうえおかきく") << 8 << QStringLiteral("あいうえおかき") << 7;
        QTest::newRow("half-width katakana take one byte")
            << QStringLiteral("ﾛﾛﾛﾛﾛﾛﾛﾛﾛﾛﾛﾛﾛﾛﾛ") << 15 << QStringLiteral("ﾛﾛﾛﾛﾛﾛﾛﾛﾛﾛﾛﾛﾛﾛ") << 14;
        QTest::newRow("full-width after 13 bytes does not fit")
            << QStringLiteral("abcdefghijklmあ") << 14 << QStringLiteral("abcdefghijklm") << 13;
        QTest::newRow("mixed insertion cut at its end")
            << QStringLiteral("abcdeあいうえお") << 10 << QStringLiteral("abcdeあいうえ") << 9;
        QTest::newRow("insertion in the middle cut, the rest kept")
            << QStringLiteral("abXYZWVcdefghij") << 7 << QStringLiteral("abXYZWcdefghij") << 6;
        QTest::newRow("full-width insertion before half-width text")
            << QStringLiteral("あいabcdefghijkl") << 2 << QStringLiteral("あabcdefghijkl") << 1;
    }
    void fitsTheByteLimit()
    {
        QFETCH(QString, text);
        QFETCH(int, cursor);
        QFETCH(QString, kept);
        QFETCH(int, keptCursor);

        const namerules::FittedName fitted = namerules::fitName(text, cursor);
        QCOMPARE(fitted.text, kept);
        QCOMPARE(fitted.cursor, keptCursor);
        QCOMPARE(fitted.fit, kept == text ? NameFit::Fits : NameFit::Trimmed);
        QVERIFY(platform::cp932Length(fitted.text) <= namerules::MaxNameBytes);
    }

    void refusesWhatTheRecordsCannotHold_data()
    {
        QTest::addColumn<QString>("text");

        QTest::newRow("emoji") << QStringLiteral("ab😀");
        QTest::newRow("simplified chinese") << QStringLiteral("这");
        QTest::newRow("hangul") << QStringLiteral("한");
        QTest::newRow("euro sign") << QStringLiteral("€");
        QTest::newRow("accented latin") << QStringLiteral("José");
        QTest::newRow("lone surrogate") << QString(QChar(0xD83D));
        QTest::newRow("line feed") << QStringLiteral("a\nb");
        QTest::newRow("tab") << QStringLiteral("a\tb");
        // Refused even where the byte limit would have cut it off.
        QTest::newRow("emoji beyond the limit") << QStringLiteral("abcdefghijklmn😀");
    }
    void refusesWhatTheRecordsCannotHold()
    {
        QFETCH(QString, text);
        QCOMPARE(namerules::fitName(text, int(text.size())).fit, NameFit::Refused);
    }

    // Characters that the code page stores under a code that reads back as
    // another character are kept as they will read back.
    void keepsWhatReadsBack_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("kept");

        QTest::newRow("wave dash") << QStringLiteral("た〜") << QStringLiteral("た～");
        QTest::newRow("minus sign") << QStringLiteral("A−B") << QStringLiteral("A－B");
        QTest::newRow("kanji and kana unchanged")
            << QStringLiteral("山田ﾀﾛｳ") << QStringLiteral("山田ﾀﾛｳ");
    }
    void keepsWhatReadsBack()
    {
        QFETCH(QString, text);
        QFETCH(QString, kept);
        const namerules::FittedName fitted = namerules::fitName(text, int(text.size()));
        QCOMPARE(fitted.text, kept);
        QCOMPARE(platform::fromCp932(platform::toCp932(fitted.text)), fitted.text);
    }
};

TORVA_TEST_MAIN(TestNameRules)
#include "test_namerules.moc"
