// The application object: title, window creation, the message loop, message
// boxes and the standard report of an exception that escapes a handler.
#pragma once

#include <QApplication>
#include <QCursor>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

class TForm;

namespace platform {

// The screen's cursors: the built-in shapes (crDefault, crHourGlass, crNo)
// and the custom ones installed under positive numbers.
QCursor cursorFor(int cursor);
void setScreenCursor(int number, const QCursor &cursor);

// The window created first; closing it ends the message loop.
TForm *mainForm();

// The command line as the windows read it: ParamStr(0) is the program.
void setCommandLine(const QStringList &arguments);
int ParamCount();
QString ParamStr(int index);

// Compiled-in pictures, cursors and sounds.
void initResources();

// Set once the game is ending (the main window closed, or the desktop asked
// it to end): modal windows give up at once, waits and message boxes are
// skipped, so whatever was running unwinds and the loop can end.
bool terminating();
void beginTermination();

} // namespace platform

// A QApplication that reports exceptions escaping event handlers and goes on.
class TorvaQApplication : public QApplication {
public:
    TorvaQApplication(int &argc, char **argv);
    bool notify(QObject *receiver, QEvent *event) override;
};

class TApplication {
public:
    QString Title;

    // Sets the classic look: the "windows" style with a silver palette.
    void Initialize();
    template <class T> void CreateForm(T *&global)
    {
        global = new T();
        registerForm(global);
    }
    // A window the title does not need: made, in the order asked for, right
    // after the main window has first been painted, so the title appears
    // without waiting for it. A key or button the player presses before then
    // makes it first, as does CreatePendingForms.
    template <class T> void CreateFormLater(T *&global)
    {
        pendingForms_.push_back([this, &global] { CreateForm(global); });
    }
    void CreatePendingForms();
    bool HasPendingForms() const { return !pendingForms_.empty(); }
    // Shows the main window and runs the loop until it has closed.
    void Run();
    int MessageBox(const QString &text, const QString &caption, unsigned flags);
    void ShowException(const std::exception &error);

private:
    void registerForm(TForm *form);
    void createPendingFormsAfterFirstPaint();
    std::vector<std::function<void()>> pendingForms_;
};

extern TApplication *Application;
