#include "platform/application.h"

#include "platform/fonts.h"
#include "platform/form.h"
#include "platform/services.h"

#include <QMap>
#include <QPalette>
#include <QStyle>
#include <QStyleFactory>
#include <QTimer>

#include <cstdio>
#include <exception>
#include <utility>

static void initTorvaResources() { Q_INIT_RESOURCE(torva); }

namespace platform {
namespace {
TForm *theMainForm = nullptr;
QStringList theCommandLine;
QMap<int, QCursor> &customCursors()
{
    static QMap<int, QCursor> cursors;
    return cursors;
}
} // namespace

QCursor cursorFor(int cursor)
{
    switch (cursor) {
    case crHourGlass:
        return QCursor(Qt::WaitCursor);
    case crNo:
        return QCursor(Qt::ForbiddenCursor);
    default:
        return customCursors().value(cursor, QCursor(Qt::ArrowCursor));
    }
}

void setScreenCursor(int number, const QCursor &cursor) { customCursors()[number] = cursor; }

TForm *mainForm() { return theMainForm; }

namespace {
bool theTermination = false;
}

bool terminating() { return theTermination; }

void beginTermination()
{
    theTermination = true;
    // Unlike quit(), exit() also ends the nested loops of a message shown
    // before the main loop has started.
    QCoreApplication::exit(0);
}

void setCommandLine(const QStringList &arguments) { theCommandLine = arguments; }

int ParamCount() { return static_cast<int>(qMax<qsizetype>(0, theCommandLine.size() - 1)); }

QString ParamStr(int index)
{
    if (index < 0 || index >= theCommandLine.size())
        return {};
    return theCommandLine.at(index);
}

void initResources() { initTorvaResources(); }

} // namespace platform

TApplication *Application = nullptr;

namespace {

bool isPlayerInput(const QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Wheel:
        return true;
    default:
        return false;
    }
}

// Calls back once, after the first paint of anything in one window, when
// the picture has gone to the screen and the loop has nothing else waiting.
class FirstPaintWatch : public QObject {
public:
    // Belongs to the application object, so a game that ends before its
    // first paint takes the watch with it.
    FirstPaintWatch(QWidget *window, std::function<void()> then)
        : QObject(qApp), window_(window), then_(std::move(then))
    {
        qApp->installEventFilter(this);
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && watched->isWidgetType() &&
            static_cast<QWidget *>(watched)->window() == window_) {
            qApp->removeEventFilter(this);
            QCoreApplication::postEvent(this, new QEvent(CallBack), Qt::LowEventPriority);
        }
        return false;
    }

    bool event(QEvent *event) override
    {
        if (event->type() != CallBack)
            return QObject::event(event);
        deleteLater();
        then_();
        return true;
    }

private:
    static constexpr QEvent::Type CallBack = QEvent::User;
    QWidget *window_;
    std::function<void()> then_;
};

} // namespace

TorvaQApplication::TorvaQApplication(int &argc, char **argv) : QApplication(argc, argv) {}

bool TorvaQApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        if (Application && Application->HasPendingForms() && isPlayerInput(event))
            Application->CreatePendingForms();
        return QApplication::notify(receiver, event);
    } catch (const std::exception &error) {
        if (Application)
            Application->ShowException(error);
        else
            std::fprintf(stderr, "TORVA: %s\n", error.what());
    }
    return false;
}

void TApplication::Initialize()
{
    platform::initResources();
    platform::installFonts();
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("windows")));
    QPalette palette = QApplication::style()->standardPalette();
    const QColor silver(0xc0, 0xc0, 0xc0);
    palette.setColor(QPalette::Window, silver);
    palette.setColor(QPalette::Button, silver);
    palette.setColor(QPalette::WindowText, Qt::black);
    palette.setColor(QPalette::ButtonText, Qt::black);
    palette.setColor(QPalette::Base, Qt::white);
    palette.setColor(QPalette::Text, Qt::black);
    palette.setColor(QPalette::Light, Qt::white);
    palette.setColor(QPalette::Midlight, QColor(0xdf, 0xdf, 0xdf));
    palette.setColor(QPalette::Mid, QColor(0x80, 0x80, 0x80));
    palette.setColor(QPalette::Dark, QColor(0x80, 0x80, 0x80));
    palette.setColor(QPalette::Shadow, Qt::black);
    QApplication::setPalette(palette);
    QApplication::setQuitOnLastWindowClosed(false);
}

void TApplication::registerForm(TForm *form)
{
    if (!platform::theMainForm)
        platform::theMainForm = form;
}

void TApplication::CreatePendingForms()
{
    // Taken out first, so that no window is made twice.
    const auto forms = std::exchange(pendingForms_, {});
    for (const auto &create : forms)
        create();
}

void TApplication::Run()
{
    if (!platform::theMainForm)
        return;
    if (HasPendingForms())
        new FirstPaintWatch(platform::theMainForm, [this] { CreatePendingForms(); });
    // Shown from inside the loop, so that whatever ends the loop also ends
    // the nested loops of messages shown while the window first appears.
    QTimer::singleShot(0, platform::theMainForm, [] { platform::theMainForm->show(); });
    QApplication::exec();
}

int TApplication::MessageBox(const QString &text, const QString &caption, unsigned flags)
{
    return platform::services().messages->show(text, caption, flags);
}

// The standard report: the message followed by a full stop, under the title.
void TApplication::ShowException(const std::exception &error)
{
    MessageBox(QString::fromUtf8(error.what()) + QLatin1Char('.'), Title, platform::MB_ICONERROR);
}
