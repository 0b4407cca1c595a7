// Code page 932: the bytes of the Windows table, '?' and "not representable"
// for characters outside it, and U+FFFD for bytes that are no character.
#include "platform/cp932.h"
#include "support/testsupport.h"

using namespace platform;

class TestCp932 : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void encodes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("representable");

        QTest::newRow("empty") << QString() << QByteArray() << true;
        QTest::newRow("ascii, backslash, tilde")
            << QStringLiteral("A\\~") << hex("41 5c 7e") << true;
        QTest::newRow("fullwidth tilde")
            << QStringLiteral("1～3位") << hex("31 81 60 33 88 ca") << true;
        QTest::newRow("NEC circled one") << QStringLiteral("①") << hex("87 40") << true;
        QTest::newRow("half-width katakana") << QStringLiteral("ｵｶﾏ") << hex("b5 b6 cf") << true;
        QTest::newRow("kanji") << QStringLiteral("男") << hex("92 6a") << true;
        QTest::newRow("trail byte 0x5C") << QStringLiteral("ソ表") << hex("83 5c 95 5c") << true;
        QTest::newRow("default value text")
            << QStringLiteral("TORVAデータ．解析不可(笑)")
            << hex("54 4f 52 56 41 83 66 81 5b 83 5e 81 44 89 f0 90 cd 95 73 89 c2 28 8f ce 29")
            << true;
        QTest::newRow("wave dash reads as the fullwidth tilde")
            << QStringLiteral("〜") << hex("81 60") << true;
        QTest::newRow("emoji") << QStringLiteral("a😀b") << hex("61 3f 62") << false;
        QTest::newRow("euro sign") << QStringLiteral("€") << hex("3f") << false;
        QTest::newRow("hangul") << QStringLiteral("한") << hex("3f") << false;
        QTest::newRow("latin-1 letter") << QStringLiteral("é") << hex("3f") << false;
        QTest::newRow("lone surrogate")
            << (QStringLiteral("x") + QChar(0xD800) + QStringLiteral("y")) << hex("78 3f 79")
            << false;
    }

    void encodes()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QFETCH(bool, representable);

        bool ok = !representable;
        QCOMPARE(toCp932(text, &ok).toHex(' '), bytes.toHex(' '));
        QCOMPARE(ok, representable);
        QCOMPARE(isCp932Representable(text), representable);
        QCOMPARE(cp932Length(text), bytes.size());
    }

    void decodes_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");

        const QChar bad = QChar::ReplacementCharacter;
        QTest::newRow("fullwidth tilde")
            << hex("31 81 60 33 88 ca") << QStringLiteral("1～3位") << true;
        QTest::newRow("NEC and IBM extensions")
            << hex("87 40 fa 40") << QStringLiteral("①ⅰ") << true;
        QTest::newRow("half-width katakana") << hex("b5 b6 cf") << QStringLiteral("ｵｶﾏ") << true;
        QTest::newRow("control bytes as they are")
            << hex("1a 1c 7f") << QStringLiteral("\x1a\x1c\x7f") << true;
        QTest::newRow("undefined single bytes")
            << hex("41 80 a0 fd ff 42") << (u'A' + QString(4, bad) + u'B') << false;
        QTest::newRow("unassigned pair")
            << hex("41 85 40 42") << (u'A' + QString(bad) + u'B') << false;
        QTest::newRow("lead byte without trail byte")
            << hex("81 20 82 a0") << (QString(bad) + QStringLiteral(" あ")) << false;
        QTest::newRow("cut-off lead byte at the end")
            << hex("41 81") << (u'A' + QString(bad)) << false;
    }

    void decodes()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QFETCH(bool, valid);

        bool ok = !valid;
        QCOMPARE(fromCp932(bytes, &ok), text);
        QCOMPARE(ok, valid);
    }

    // Every character of the table comes back as itself, so nothing the game
    // reads from Windows' registry is changed by writing it again.
    void everyCharacterRoundTrips()
    {
        int characters = 0;
        for (int lead = 0; lead < 0x100; ++lead) {
            const bool isLead = isCp932LeadByte(lead);
            for (int trail = isLead ? 0x40 : 0; trail < (isLead ? 0xFD : 1); ++trail) {
                QByteArray code(1, char(lead));
                if (isLead)
                    code.append(char(trail));
                bool valid = false;
                const QString text = fromCp932(code, &valid);
                if (!valid)
                    continue;
                ++characters;
                QCOMPARE(text.size(), 1);
                bool ok = false;
                const QByteArray again = toCp932(text, &ok);
                QVERIFY2(ok, code.toHex().constData());
                QCOMPARE(fromCp932(again), text);
            }
        }
        // 128 ASCII and 63 half-width katakana; 7724 double-byte codes (JIS X
        // 0208 with the NEC and IBM extensions) and 1880 user-defined ones.
        QCOMPARE(characters, 128 + 63 + 7724 + 1880);
    }

private:
    static QByteArray hex(const char *text) { return QByteArray::fromHex(QByteArray(text)); }
};

TORVA_TEST_MAIN(TestCp932)
#include "test_cp932.moc"
