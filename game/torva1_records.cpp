// The record table: loaded at the first showing, saved at close, and the
// ranking at the end of a round.
#include "game/torva1.h"

#include "dialogs/torva3.h"
#include "dialogs/torva5.h"
#include "game/rankingrules.h"
#include "platform/application.h"
#include "platform/registry.h"
#include "platform/services.h"
#include "story/torva2.h"

#include <cstdio>

namespace {

const QString RecordKey = QStringLiteral("\\Software\\Marrowind\\TORVA\\CurrentVersion");
const QString LengthValues[] = {QStringLiteral("Mts0"), QStringLiteral("Mts1"),
                                QStringLiteral("Mts2")};
const QString NameValues[] = {QStringLiteral("Name0"), QStringLiteral("Name1"),
                              QStringLiteral("Name2")};
const QString DateValues[] = {QStringLiteral("Td0"), QStringLiteral("Td1"), QStringLiteral("Td2")};
const QString SexValues[] = {QStringLiteral("ESU"), QStringLiteral("II"), QStringLiteral("EKKUSU")};
const QString TimeLimitValue = QStringLiteral("uwf");
const QString DefaultValueText = QStringLiteral("TORVAデータ．解析不可(笑)");

const QString Torva = QStringLiteral("TORVA");

void sayNotSaved(const QString &reason)
{
    QString file = platform::services().registryFile;
    if (file.isEmpty())
        file = platform::defaultRegistryFile();
    std::fprintf(stderr, "TORVA: the records were not saved to %s (%s).\n", qPrintable(file),
                 qPrintable(reason));
}

} // namespace

void TForm1::LoadRecords()
{
    TRegistry registry;
    registry.RootKey = HKEY_CURRENT_USER;
    if (!registry.OpenKey(RecordKey, false)) {
        Application->MessageBox(
            QStringLiteral("TORVA.DOC は読みましたか?\n\nTORVA は、それを読んでから実行することを"
                           "お勧めします。\n"),
            Torva, platform::MB_ICONEXCLAMATION);
        for (int i = 0; i < ranking::RecordCount; ++i) {
            RecordSex[i] = 0;
            RecordLength[i] = 0;
            RecordName[i].clear();
            RecordDate[i].clear();
        }
    } else {
        try {
            for (int i = 0; i < ranking::RecordCount; ++i)
                RecordLength[i] = registry.ReadInteger(LengthValues[i]);
            for (int i = 0; i < ranking::RecordCount; ++i)
                RecordName[i] = registry.ReadString(NameValues[i]);
            for (int i = 0; i < ranking::RecordCount; ++i)
                RecordDate[i] = registry.ReadString(DateValues[i]);
            for (int i = 0; i < ranking::RecordCount; ++i)
                RecordSex[i] = registry.ReadInteger(SexValues[i]);
        } catch (const std::exception &) {
            Application->MessageBox(
                QStringLiteral(
                    "レジストリの読み込みに失敗しました。\n一度、このまま終了してください。"),
                QStringLiteral("TORVA 実行時エラー"), platform::MB_ICONERROR);
        }
        registry.CloseKey();
        if (!ranking::LengthsInOrder(RecordLength[0], RecordLength[1], RecordLength[2])) {
            for (int &length : RecordLength)
                length = 0;
        }
    }
    if (RecordLength[0] != 0) {
        Panel3->Show();
        if (ranking::UnlocksSfcMode(RecordLength[0]))
            CheckBox1->show();
    }
}

// A save that fails leaves the file as it was; the player hears of it on
// standard error, and the window closes all the same.
void TForm1::SaveRecords()
{
    TRegistry registry;
    registry.RootKey = HKEY_CURRENT_USER;
    if (!registry.OpenKey(RecordKey, true)) {
        sayNotSaved(QStringLiteral("the registry file cannot be read"));
        return;
    }
    try {
        for (int i = 0; i < ranking::RecordCount; ++i)
            registry.WriteInteger(LengthValues[i], RecordLength[i]);
        for (int i = 0; i < ranking::RecordCount; ++i)
            registry.WriteString(NameValues[i], RecordName[i]);
        for (int i = 0; i < ranking::RecordCount; ++i)
            registry.WriteString(DateValues[i], RecordDate[i]);
        for (int i = 0; i < ranking::RecordCount; ++i)
            registry.WriteInteger(SexValues[i], RecordSex[i]);
        if (TimeLimit != ranking::RankedTimeLimit)
            registry.WriteInteger(TimeLimitValue, TimeLimit);
        registry.WriteString(QString(), DefaultValueText);
    } catch (const std::exception &error) {
        sayNotSaved(QString::fromUtf8(error.what()));
        return;
    }
    registry.CloseKey();
    if (registry.LastSaveFailed())
        sayNotSaved(QStringLiteral("the registry file cannot be written"));
}

void TForm1::RankingUpdate()
{
    const int length = PulledPixels;
    if (length == 0) {
        Application->MessageBox(QStringLiteral("やる気あんのかぁ"),
                                QStringLiteral("なめてんのかぁ!!"), platform::MB_ICONEXCLAMATION);
        return;
    }
    if (TimeLimit != ranking::RankedTimeLimit) {
        Application->MessageBox(QStringLiteral("この記録は抹消されます。"), QStringLiteral("uwf"),
                                platform::MB_OK);
        return;
    }
    if (length < ranking::PixelsPerCentimetre) {
        Application->MessageBox(QStringLiteral("この記録は、詳しくは ") +
                                    ranking::MillimetreText(length) + QStringLiteral("mm です。"),
                                QStringLiteral("詳しい記録"), platform::MB_ICONINFORMATION);
    }

    ranking::RecordTable table;
    for (int i = 0; i < ranking::RecordCount; ++i)
        table[i] = {RecordLength[i], RecordName[i], RecordDate[i], RecordSex[i]};
    const ranking::RecordEntry entry{
        length, Form3->Edit1->Text(),
        ranking::RecordDateText(platform::services().clock->localNow()), Form5->PlayerSex + 2};
    const int rank = ranking::InsertRecord(table, entry);
    for (int i = 0; i < ranking::RecordCount; ++i) {
        RecordLength[i] = table[i].length;
        RecordName[i] = table[i].name;
        RecordDate[i] = table[i].date;
        RecordSex[i] = table[i].sex;
    }

    // The first place is told only when it beat one that existed.
    if (rank == 1 && RecordLength[1] != 0)
        Application->MessageBox(QStringLiteral("1位にランキング！"), Torva,
                                platform::MB_ICONINFORMATION);
    if (rank == 1 && ranking::UnlocksSfcMode(RecordLength[0])) {
        if (!CheckBox1->Visible()) {
            Application->MessageBox(QStringLiteral("SFCモードが出現しました。"), Torva,
                                    platform::MB_ICONINFORMATION);
            Form2->Label3->Hide();
        }
        CheckBox1->show();
    }
    if (rank == 2 || rank == 3)
        Application->MessageBox(QStringLiteral("%1位にランキング！").arg(rank), Torva,
                                platform::MB_ICONINFORMATION);
}
