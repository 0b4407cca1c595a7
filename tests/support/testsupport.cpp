#include "support/testsupport.h"

#include "app/startup.h"
#include "platform/application.h"
#include "platform/services.h"

#include <QFile>

namespace testsupport {

platform::FakeServices &fakes()
{
    static platform::FakeServices theFakes;
    return theFakes;
}

QString tempFolder()
{
    static QTemporaryDir folder;
    return folder.path();
}

QString recordsFile() { return tempFolder() + QStringLiteral("/HKCU.reg"); }

void startWithoutRecords()
{
    fakes().clear();
    platform::services().registryFile = recordsFile();
    QFile::remove(recordsFile());
}

void createForms()
{
    static bool created = false;
    if (!created) {
        created = true;
        CreateForms();
        Application->CreatePendingForms();
    }
}

int runTests(QObject &test, int argc, char **argv)
{
    static TApplication application;
    Application = &application;
    application.Title = QStringLiteral("TORVA");
    application.Initialize();
    fakes().install();
    platform::services().registryFile = recordsFile();
    return QTest::qExec(&test, argc, argv);
}

} // namespace testsupport
