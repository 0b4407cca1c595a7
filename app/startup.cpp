#include "app/startup.h"

#include "dialogs/torva3.h"
#include "dialogs/torva5.h"
#include "dialogs/torva6.h"
#include "game/torva1.h"
#include "platform/application.h"
#include "platform/fonts.h"
#include "platform/instanceguard.h"
#include "platform/realservices.h"
#include "platform/registry.h"
#include "platform/services.h"
#include "records/torva4.h"
#include "story/torva2.h"

#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <exception>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

const QString ApplicationTitle = QStringLiteral("TORVA");

// SIGTERM, SIGINT and SIGHUP close the main window the normal way, so the
// records are saved. The handler only writes a byte; the GUI thread reads it.
int signalSocket[2] = {-1, -1};

void onTerminationSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(signalSocket[0], &byte, 1);
}

void closeMainWindowOnSignals()
{
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalSocket) != 0)
        return;
    auto *notifier = new QSocketNotifier(signalSocket[1], QSocketNotifier::Read, qApp);
    QObject::connect(notifier, &QSocketNotifier::activated, qApp, [notifier] {
        char byte = 0;
        [[maybe_unused]] const auto got = ::read(signalSocket[1], &byte, 1);
        notifier->setEnabled(false);
        // The main window closes the normal way, which saves the records,
        // and the game ends: open stories, dialogs and messages give up. A
        // main window not shown yet has loaded nothing: closing it would save
        // an empty table over the records, so it is left alone.
        if (Form1 && Form1->isVisible())
            Form1->close();
        platform::beginTermination();
    });
    struct sigaction action = {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signalNumber : {SIGTERM, SIGINT, SIGHUP})
        sigaction(signalNumber, &action, nullptr);
}

// The windows place themselves (centred, the story full screen, the dialogs
// at fixed places), which a Wayland compositor does not let a client do. On a
// Wayland session the game therefore runs through XWayland when it is there.
void preferX11()
{
    if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        return;
    if (qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") || qEnvironmentVariableIsEmpty("DISPLAY"))
        return;
    qputenv("QT_QPA_PLATFORM", "xcb");
}

} // namespace

// The title needs only the main window; the story, the dialogs and the
// high-score window are made once the title is on screen.
void CreateForms()
{
    Application->CreateForm(Form1);
    Application->CreateFormLater(Form2);
    Application->CreateFormLater(Form3);
    Application->CreateFormLater(Form4);
    Application->CreateFormLater(Form5);
    Application->CreateFormLater(Form6);
}

// Without any display Qt's platform plugin aborts the process with a page
// of its own; say plainly what is missing instead.
bool haveDisplay()
{
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (!platform.isEmpty() && !platform.startsWith("xcb") && !platform.startsWith("wayland"))
        return true;
    return !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

int RunTorva(int argc, char **argv)
{
    if (!haveDisplay()) {
        std::fprintf(stderr,
                     "TORVA: no display to open the game's windows on (DISPLAY is not set).\n");
        return 1;
    }
    preferX11();
    platform::FontConfigurationReader fontConfiguration;
    TorvaQApplication app(argc, argv);
    TApplication application;
    Application = &application;
    platform::setCommandLine(QCoreApplication::arguments());
    platform::installRealServices();
    // Without HOME the records still have a place; say which.
    if (qEnvironmentVariableIsEmpty("HOME") && qEnvironmentVariableIsEmpty("XDG_CONFIG_HOME"))
        std::fprintf(stderr, "TORVA: HOME is not set; the records are kept in %s\n",
                     qPrintable(platform::defaultRegistryFile()));

    application.Title = ApplicationTitle;
    QCoreApplication::setApplicationName(ApplicationTitle);
    // From the first moment on, a signal to end ends the game the normal way.
    closeMainWindowOnSignals();
    platform::NamedMutex mutex(ApplicationTitle);
    if (!mutex.tryAcquire()) {
        application.MessageBox(QStringLiteral("すでに起動しています。"), ApplicationTitle,
                               platform::MB_ICONERROR);
        return 0;
    }
    try {
        fontConfiguration.wait();
        application.Initialize();
        QObject::connect(&app, &QGuiApplication::commitDataRequest, &app, [] {
            if (Form1 && Form1->isVisible())
                Form1->close();
        });
        CreateForms();
        application.Run();
        mutex.release();
    } catch (const std::exception &error) {
        application.ShowException(error);
    }
    return 0;
}
