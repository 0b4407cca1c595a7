// The floor the game's figures are compared with: the least a Qt Widgets
// program does to put a window on screen. It shows one window and, once the
// window has been painted and flushed, prints its figure and quits.
//   bench_floor startup  ms from exec (bench_launch) to the first painted window
//   bench_floor memory   peak resident memory in kB after the first paint
#include "benchclock.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

#include <cstring>

namespace {

// Reports once, from the event loop right after the window's first paint, so
// that the painted picture has been flushed to the display.
class FirstPaint : public QObject {
public:
    explicit FirstPaint(bool memory) : memory_(memory) {}
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !seen_) {
            seen_ = true;
            QTimer::singleShot(0, [this] { report(); });
        }
        return false;
    }

private:
    void report()
    {
        if (memory_)
            std::printf("%ld\n", bench::statusKb("VmHWM"));
        else
            std::printf("%.3f\n", double(bench::wallNs() - bench::launchNs()) / 1e6);
        std::fflush(stdout);
        _exit(0);
    }
    bool memory_;
    bool seen_ = false;
};

} // namespace

int main(int argc, char **argv)
{
    const bool memory = argc > 1 && std::strcmp(argv[1], "memory") == 0;
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("floor"));
    window.resize(320, 377);
    FirstPaint spy(memory);
    window.installEventFilter(&spy);
    window.show();
    return app.exec();
}
