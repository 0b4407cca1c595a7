// The floor the game's figures are compared with: the least a Qt Widgets
// program does to put a window on screen. It shows one window and, once the
// window has been painted and flushed, prints its figure and quits.
//   bench_floor startup  ms from exec (bench_launch) to the first painted window
//   bench_floor memory   peak resident memory in kB after the first paint
//   bench_floor text     as startup, with one line of text in the window
//   bench_floor paint N  CPU time of N frames in which, as in a pull step, two
//                        one-pixel rows are updated and a 32 x 32 child moves
#include "benchclock.h"

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <cstdint>
#include <cstdlib>

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

// The least a Qt window does for one pull step's picture: the same rows and
// the same moving 32 x 32 child, painted and flushed frame by frame.
int paintFrames(QWidget &window, int frames)
{
    QWidget hand(&window);
    hand.setAutoFillBackground(true);
    hand.setGeometry(100, 0, 32, 32);
    hand.show();
    while (!window.isVisible() || !window.windowHandle()->isExposed())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    QCoreApplication::processEvents();
    int y = 20;
    const std::int64_t cpu0 = bench::cpuNs();
    for (int i = 0; i < frames; ++i) {
        const int step = 1 + i % 4;
        const int oldY = y;
        y = y + step > 350 ? 20 : y + step;
        window.update(88, oldY, 144, 1);
        window.update(88, y, 144, 1);
        hand.move(100, y % 300);
        QCoreApplication::processEvents();
    }
    std::printf("%.4f\n", double(bench::cpuNs() - cpu0) / frames / 1e3);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    const char *mode = argc > 1 ? argv[1] : "startup";
    const bool memory = std::strcmp(mode, "memory") == 0;
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("floor"));
    window.resize(320, 377);
    if (std::strcmp(mode, "paint") == 0) {
        window.show();
        return paintFrames(window, argc > 2 ? std::atoi(argv[2]) : 10000);
    }
    if (std::strcmp(mode, "text") == 0) {
        auto *text = new QLabel(QStringLiteral("Floor"), &window);
        text->move(10, 10);
    }
    FirstPaint spy(memory);
    window.installEventFilter(&spy);
    window.show();
    return app.exec();
}
