// The game's windows and services driven through one measurement at a time,
// with the real clock, timers, sound and music. Message boxes are answered at
// once (they are not what is measured); dialogs are answered as a player
// would. Each mode prints its figures as "name value" lines.
//
//   torva_bench prepare     writes a record table, so the game starts as it
//                           does for a returning player (no first-run message)
//   torva_bench storyidle   CPU share between two story steps, over 10 s
//   torva_bench playclock N intervals between play ticks over N whole rounds
//   torva_bench pull N      CPU time and repainted pixels of N pull steps
//   torva_bench reveal N    wall time of N voiced scene reveals vs passes x 30 ms
//   torva_bench sound N     delay from an asynchronous PlaySound to its first
//                           sample in the mix, N times
//   torva_bench memory      peak resident memory over a story with music and a round
#include "benchclock.h"

#include "app/startup.h"
#include "dialogs/torva3.h"
#include "dialogs/torva5.h"
#include "dialogs/torva6.h"
#include "game/torva1.h"
#include "platform/application.h"
#include "platform/audio/audio.h"
#include "platform/realservices.h"
#include "platform/services.h"
#include "story/storyrules.h"
#include "story/torva2.h"

#include <QFile>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <functional>
#include <thread>
#include <vector>

namespace {

using bench::cpuNs;
using bench::wallNs;

constexpr int IdleSettleMs = 1000;
constexpr int IdleMeasureMs = 10000;
constexpr int StoryStepLimit = 200;

[[noreturn]] void finish()
{
    std::fflush(stdout);
    _exit(0);
}

void printFigure(const char *name, double value)
{
    std::printf("%s %.4f\n", name, value);
}

// Message boxes answered at once with OK (Yes for questions).
class AnsweringMessages : public platform::MessageBoxes {
public:
    int show(const QString &, const QString &, unsigned flags) override
    {
        return (flags & 0x0Fu) == platform::MB_YESNO ? platform::IDYES : platform::IDOK;
    }
};

// The real sound, with the moments at which the voice starts and stops.
class WatchedSound : public platform::Sound {
public:
    std::function<void(const QString &, unsigned)> onPlay;
    void playSound(const QString &name, unsigned flags) override
    {
        if (onPlay)
            onPlay(name, flags);
        platform::realSound().playSound(name, flags);
    }
    void messageBeep(unsigned type) override { platform::realSound().messageBeep(type); }
};

AnsweringMessages &answeringMessages()
{
    static AnsweringMessages messages;
    return messages;
}

WatchedSound &watchedSound()
{
    static WatchedSound sound;
    return sound;
}

// The game's windows as RunTorva makes them, with the main window shown.
void startGame()
{
    platform::installRealServices();
    platform::services().messages = &answeringMessages();
    platform::services().sound = &watchedSound();
    Application->Initialize();
    CreateForms();
    Application->CreatePendingForms();
}

void showTitle()
{
    Form1->show();
}

// Dialogs answered as a player would: a name, male, yes. The story window
// itself is handed to `driveStory`, or left at once when it is unset.
std::function<void()> driveStory;

void answerModals(TForm &form)
{
    if (&form == Form2) {
        if (driveStory) {
            QTimer::singleShot(0, Form2, [] { driveStory(); });
        } else {
            Form2->Label3->Show(); // the skip hint, as after a first story
            Form2->Close();
        }
    } else if (&form == Form3) {
        Form3->Edit1->setText(QStringLiteral("BENCH"));
        Form3->Button1->Click(); // asks the sex itself
    } else if (&form == Form5) {
        Form5->PlayerSex = 0;
        Form5->Decided = true;
        Form5->Close();
    } else if (&form == Form6) {
        Form6->Answer = 0;
        Form6->Decided = true;
        Form6->Close();
    }
}

bool storyClosing()
{
    return Form2->ModalResult() != mrNone;
}

// Plays steps until the story closes itself.
void stepToTheEnd()
{
    for (int i = 0; i < StoryStepLimit && !storyClosing(); ++i)
        Form2->Button1Click();
}

QMouseEvent mouseEvent(QEvent::Type type, QPoint at, Qt::MouseButton button,
                       Qt::MouseButtons buttons)
{
    return QMouseEvent(type, QPointF(at), QPointF(Form1->mapToGlobal(at)), button, buttons,
                       Qt::NoModifier);
}

void press(QPoint at)
{
    QMouseEvent event = mouseEvent(QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
    QCoreApplication::sendEvent(Form1, &event);
}

void moveTo(QPoint at)
{
    QMouseEvent event = mouseEvent(QEvent::MouseMove, at, Qt::NoButton, Qt::LeftButton);
    QCoreApplication::sendEvent(Form1, &event);
}

void release(QPoint at)
{
    QMouseEvent event = mouseEvent(QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
    QCoreApplication::sendEvent(Form1, &event);
}

constexpr int StripX = 150;
constexpr int PullTop = 20;

// A quick downward drag let go at speed: the paper then coasts for a while.
void fling(int speed)
{
    press({StripX, PullTop});
    moveTo({StripX, PullTop + speed});
    release({StripX, PullTop + speed});
}

// ---------------------------------------------------------------- prepare

int prepare()
{
    startGame();
    Form1->RecordLength[0] = 4000;
    Form1->RecordName[0] = QStringLiteral("BENCH");
    Form1->RecordSex[0] = 2;
    Form1->RecordDate[0] = QStringLiteral("2001/03/05 09:07:03");
    Form1->SaveRecords();
    std::printf("prepared\n");
    finish();
}

// ---------------------------------------------------------------- story idle

// The first step (title cards, name, sex, first scene) is played; then the
// story waits for the next click, as a player reading the scene leaves it.
int storyIdle()
{
    startGame();
    showTitle();
    platform::services().modalShown = answerModals;
    driveStory = [] {
        Form2->Button1Click();
        QTimer::singleShot(IdleSettleMs, [] {
            const std::int64_t cpu0 = cpuNs();
            const std::int64_t wall0 = wallNs();
            QTimer::singleShot(IdleMeasureMs, [cpu0, wall0] {
                const double share = double(cpuNs() - cpu0) / double(wallNs() - wall0) * 100.0;
                printFigure("story_idle_percent", share);
                finish();
            });
        });
    };
    QTimer::singleShot(0, [] {
        Form2->SfcMode = false;
        Form2->ShowModal();
    });
    return QApplication::exec();
}

// ---------------------------------------------------------------- play clock

// Rounds with the real timer. Every tick of the main window's timer is timed
// on entry; the paper is flung now and then so that coast steps draw.
int playClock(int rounds)
{
    startGame();
    showTitle();
    platform::services().modalShown = answerModals;
    Form1->RecordLength[0] = 4000; // no rules message
    Form1->TimeLimit = 10;

    struct State {
        int round = 0;
        int playTicks = 0;
        std::int64_t lastPlayTick = -1;
        std::vector<double> intervals;
        std::vector<double> overshoots;
    };
    static State state;
    static TNotifyEvent original = Form1->Timer1->OnTimer;
    static int roundsWanted = rounds;

    Form1->Timer1->OnTimer = [] {
        const std::int64_t now = wallNs();
        const bool lastCountdown = Form1->Timer1->Interval() == 1000 && Form1->Label6->Tag == 0;
        const bool play = Form1->Timer1->Interval() != 1000 || lastCountdown;
        const std::uint32_t tick = platform::GetTickCount();
        original();
        if (!play)
            return;
        if (state.lastPlayTick >= 0)
            state.intervals.push_back(double(now - state.lastPlayTick) / 1e6);
        state.lastPlayTick = now;
        ++state.playTicks;
        if (state.playTicks % 60 == 1)
            fling(120);
        if (!Form1->Timer1->Enabled()) { // the time-out
            const int elapsed = int(tick - RoundStartTick);
            state.overshoots.push_back(elapsed - (Form1->TimeLimit * 1000 + 1000));
            state.lastPlayTick = -1;
            state.playTicks = 0;
            if (++state.round < roundsWanted) {
                QTimer::singleShot(0, [] { Form1->RoundStart(); });
                return;
            }
            for (double interval : state.intervals)
                printFigure("tick_interval_ms", interval);
            for (double overshoot : state.overshoots)
                printFigure("end_after_limit_ms", overshoot);
            finish();
        }
    };
    QTimer::singleShot(0, [] { Form1->RoundStart(); });
    return QApplication::exec();
}

// ---------------------------------------------------------------- pull steps

// What the main window and its children repaint, in the window's coordinates.
class RepaintSpy : public QObject {
public:
    QRegion painted;
    long paintEvents = 0;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::Paint || !watched->isWidgetType())
            return false;
        auto *widget = static_cast<QWidget *>(watched);
        if (widget != Form1 && !Form1->isAncestorOf(widget))
            return false;
        ++paintEvents;
        const QRegion region = static_cast<QPaintEvent *>(event)->region();
        painted += region.translated(widget->mapTo(Form1, QPoint(0, 0)));
        return false;
    }
};

long area(const QRegion &region)
{
    long pixels = 0;
    for (const QRect &rect : region)
        pixels += long(rect.width()) * rect.height();
    return pixels;
}

QRegion handsRegion()
{
    QRegion hands;
    for (TImage *hand : {Form1->Image1, Form1->Image2})
        if (hand->Visible())
            hands += hand->geometry();
    return hands;
}

QRegion lineRow(int y)
{
    const int left = Form1->Shape1->Width();
    return QRegion(left, y, Form1->Shape2->Left() - left, 1);
}

int pullSteps(int steps)
{
    startGame();
    showTitle();
    platform::services().modalShown = answerModals;
    Form1->RecordLength[0] = 4000;
    Form1->TimeLimit = 10;
    QTimer::singleShot(0, [steps] {
        Form1->RoundStart();
        // The countdown run by hand, then the clock stopped, so that only the
        // pull steps draw.
        for (int i = 0; i < 4; ++i)
            Form1->Timer1Timer();
        Form1->Timer1->setEnabled(false);
        QCoreApplication::processEvents();

        const int bottom = Form1->ClientHeight() - 20;
        int y = PullTop;
        // One pull step: drags that go down the strip, 1 to 4 px per move,
        // starting again at the top once near the bottom.
        auto nextStep = [&y, bottom](int i) {
            const int step = 1 + i % 4;
            if (y + step > bottom) {
                release({StripX, y});
                y = PullTop;
                press({StripX, y});
                QCoreApplication::processEvents();
            }
            y += step;
        };
        press({StripX, y});
        QCoreApplication::processEvents();

        // Timing first, with nothing but the game in the way.
        const int warmUp = steps / 10;
        for (int i = 0; i < warmUp; ++i) {
            nextStep(i);
            moveTo({StripX, y});
            QCoreApplication::processEvents();
        }
        const std::int64_t cpu0 = cpuNs();
        const std::int64_t wall0 = wallNs();
        for (int i = 0; i < steps; ++i) {
            nextStep(i);
            moveTo({StripX, y});
            QCoreApplication::processEvents();
        }
        const std::int64_t cpu = cpuNs() - cpu0;
        const std::int64_t wall = wallNs() - wall0;

        // Then the same steps again, with every paint event collected.
        RepaintSpy spy;
        qApp->installEventFilter(&spy);
        std::vector<long> painted, outside, allowed, outsideSameMetres;
        painted.reserve(steps);
        for (int i = 0; i < steps; ++i) {
            nextStep(i);
            spy.painted = QRegion();
            const QRegion before = handsRegion() + lineRow(Form1->PaperLineY);
            const QString metres = Form1->Label1->Caption();
            moveTo({StripX, y});
            QCoreApplication::processEvents();
            const QRegion allowedRegion = before + handsRegion() + lineRow(Form1->PaperLineY);
            painted.push_back(area(spy.painted));
            allowed.push_back(area(allowedRegion));
            outside.push_back(area(spy.painted - allowedRegion));
            if (Form1->Label1->Caption() == metres)
                outsideSameMetres.push_back(outside.back());
        }
        release({StripX, y});
        qApp->removeEventFilter(&spy);

        auto median = [](std::vector<long> values) {
            std::sort(values.begin(), values.end());
            return double(values[values.size() / 2]);
        };
        auto maximum = [](const std::vector<long> &values) {
            return values.empty() ? 0.0 : double(*std::max_element(values.begin(), values.end()));
        };
        printFigure("pull_cpu_us_per_step", double(cpu) / steps / 1e3);
        printFigure("pull_wall_us_per_step", double(wall) / steps / 1e3);
        printFigure("pull_painted_px_median", median(painted));
        printFigure("pull_painted_px_max", maximum(painted));
        printFigure("pull_allowed_px_median", median(allowed));
        printFigure("pull_outside_px_max", maximum(outside));
        printFigure("pull_steps_painting_outside",
                    double(std::count_if(outside.begin(), outside.end(),
                                         [](long pixels) { return pixels > 0; })));
        printFigure("pull_paint_events_per_step", double(spy.paintEvents) / steps);
        printFigure("pull_metre_changes", double(steps - outsideSameMetres.size()));
        printFigure("pull_outside_px_max_same_metres", maximum(outsideSameMetres));
        finish();
    });
    return QApplication::exec();
}

// ---------------------------------------------------------------- reveal

// A voiced scene's reveal runs from the voice's start to its stop; every
// pass of 16 pixels that changes a line's width resizes it once, and each of
// the three lines has one more pass at width 0 that resizes nothing.
class RevealWatch : public QObject {
public:
    int resizes = 0;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Resize &&
            (watched == Form2->Mes1 || watched == Form2->Mes2 || watched == Form2->Mes3))
            ++resizes;
        return false;
    }
};

int reveal(int wanted)
{
    startGame();
    showTitle();
    platform::services().modalShown = answerModals;
    static RevealWatch watch;
    static int revealsWanted = wanted;
    static int reveals = 0;
    static std::int64_t start = 0;
    static int resizesAtStart = 0;
    static constexpr int LinesPerScene = 3;
    watchedSound().onPlay = [](const QString &name, unsigned flags) {
        if (name == QStringLiteral("RA") && (flags & platform::SND_LOOP)) {
            start = wallNs();
            resizesAtStart = watch.resizes;
        } else if (name.isEmpty() && start != 0) {
            const double wall = double(wallNs() - start) / 1e6;
            const int passes = watch.resizes - resizesAtStart + LinesPerScene;
            printFigure("reveal_ratio", wall / (passes * RevealPassMs));
            printFigure("reveal_passes", passes);
            start = 0;
            if (++reveals >= revealsWanted)
                finish();
        }
    };
    for (TLabel *line : {Form2->Mes1, Form2->Mes2, Form2->Mes3})
        line->installEventFilter(&watch);
    driveStory = [] {
        stepToTheEnd();
        finish();
    };
    QTimer::singleShot(0, [] {
        Form2->SfcMode = false;
        Form2->ShowModal();
    });
    return QApplication::exec();
}

// ---------------------------------------------------------------- sound

// Sits in the music channel, after the wave channel has been mixed, and
// notes the first callback that carries a sound.
class MixProbe : public platform::audio::MusicSource {
public:
    std::atomic<bool> armed{false};
    std::atomic<std::int64_t> heardAt{0};
    std::atomic<int> heardFrame{0};
    void render(float *out, int frames) override
    {
        if (!armed.load())
            return;
        const std::int64_t now = wallNs();
        for (int i = 0; i < frames; ++i) {
            if (out[2 * i] != 0.0f) {
                heardFrame = i;
                heardAt = now;
                armed = false;
                return;
            }
        }
    }
};

// Frames of silence the sound starts with, at the output's rate.
int leadingSilence(const QString &name, int rate)
{
    QFile file(QStringLiteral(":/sounds/%1.wav").arg(name));
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    const auto wave = platform::audio::decodeWav(file.readAll());
    if (!wave)
        return 0;
    const platform::audio::Samples samples = platform::audio::toMono(*wave, rate);
    const auto first =
        std::find_if(samples.begin(), samples.end(), [](float value) { return value != 0.0f; });
    return int(first - samples.begin());
}

int sound(int trials)
{
    platform::initResources();
    auto &output = platform::audio::AudioOutput::shared();
    const QString name = QStringLiteral("DO");
    const unsigned flags = platform::SND_RESOURCE | platform::SND_ASYNC | platform::SND_NODEFAULT;

    // The first call opens the device and decodes the sound.
    const std::int64_t coldStart = wallNs();
    platform::realSound().playSound(name, flags);
    printFigure("sound_first_call_ms", double(wallNs() - coldStart) / 1e6);
    if (!output.isOpen()) {
        std::printf("sound_no_device 1\n");
        finish();
    }
    static MixProbe probe;
    output.setMusicSource(&probe);
    const int rate = output.sampleRate();
    const int silence = leadingSilence(name, rate);
    for (int i = 0; i < trials; ++i) {
        platform::realSound().playSound(QString(), 0);
        // A different phase against the device's period at every trial.
        std::this_thread::sleep_for(std::chrono::microseconds(40000 + (i * 7919) % 12000));
        probe.heardAt = 0;
        probe.armed = true;
        const std::int64_t called = wallNs();
        platform::realSound().playSound(name, flags);
        while (probe.heardAt.load() == 0 && wallNs() - called < 1000000000)
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        if (probe.heardAt.load() == 0) {
            std::printf("sound_unheard 1\n");
            continue;
        }
        // The sound's first sample lies `silence` frames before the first
        // audible one, in the stream the callback produced.
        const double streamOffsetMs = double(probe.heardFrame.load() - silence) * 1000.0 / rate;
        const double delay = double(probe.heardAt.load() - called) / 1e6 + streamOffsetMs;
        printFigure("sound_delay_ms", std::max(0.0, delay));
    }
    output.detachMusicSource(&probe);
    finish();
}

// ---------------------------------------------------------------- memory

// A story played to its end (its second piece loads the soundfont), then a
// round with the real clock; the peak resident memory is read at the end.
int memory()
{
    startGame();
    showTitle();
    platform::services().modalShown = answerModals;
    Form1->RecordLength[0] = 4000;
    Form1->TimeLimit = 10;
    driveStory = [] { stepToTheEnd(); };
    static TNotifyEvent original = Form1->Timer1->OnTimer;
    static int playTicks = 0;
    Form1->Timer1->OnTimer = [] {
        original();
        if (Form1->Timer1->Interval() != 1000 && ++playTicks % 60 == 1)
            fling(120);
        if (!Form1->Timer1->Enabled()) {
            printFigure("peak_rss_kb", double(bench::statusKb("VmHWM")));
            finish();
        }
    };
    QTimer::singleShot(0, [] { Form1->RoundStart(); });
    return QApplication::exec();
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: torva_bench MODE [COUNT]\n");
        return 2;
    }
    const char *mode = argv[1];
    const int count = argc > 2 ? std::atoi(argv[2]) : 1;
    TorvaQApplication app(argc, argv);
    TApplication application;
    Application = &application;
    application.Title = QStringLiteral("TORVA");
    QCoreApplication::setApplicationName(application.Title);
    platform::setCommandLine({QCoreApplication::applicationFilePath()});

    if (std::strcmp(mode, "prepare") == 0)
        return prepare();
    if (std::strcmp(mode, "storyidle") == 0)
        return storyIdle();
    if (std::strcmp(mode, "playclock") == 0)
        return playClock(count);
    if (std::strcmp(mode, "pull") == 0)
        return pullSteps(count);
    if (std::strcmp(mode, "reveal") == 0)
        return reveal(count);
    if (std::strcmp(mode, "sound") == 0)
        return sound(count);
    if (std::strcmp(mode, "memory") == 0)
        return memory();
    std::fprintf(stderr, "torva_bench: unknown mode %s\n", mode);
    return 2;
}
