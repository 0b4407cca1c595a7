// Rules of the story window that need no widget: where its parts go on a
// screen of a given size, the title card fades, the left-to-right reveal of
// a message line, the name in a line and the music command strings.
#pragma once

#include <QColor>
#include <QList>
#include <QPoint>
#include <QSize>
#include <QString>

#include <array>

// Placement of the story window's parts on the whole screen.
struct StoryLayout {
    QPoint label1; // first apology line
    QPoint label2; // second apology line
    QPoint image0; // pointer while the panel is hidden, once moved up
    int panel1Top; // message panel; as wide as the screen
    QPoint image1; // pointer inside the panel
    QPoint label3; // skip hint
};

inline constexpr int PointerSize = 16;      // both pointer pictures are 16 x 16
inline constexpr int PointerBottomGap = 10; // space under the pointer at the bottom
inline constexpr int PanelGap = 10;         // space between the panel and the pointer
inline constexpr int PointerPanelGap = 6;   // space under the pointer in the panel

// Lays the window out for a screen of `screen` size; the sizes are those
// the labels took from their captions and the panel's height.
StoryLayout StoryPlacement(QSize screen, QSize label1, QSize label2, int panel1Height,
                           QSize label3);

// One tint of a title card and the wait after it, in milliseconds.
struct FadeStep {
    QColor colour;
    int wait;
};
using TitleFade = std::array<FadeStep, 6>;
// "Quillon Presents" and "TORVA": grey, silver, white, silver, grey, black;
// the second card stays black a little longer.
extern const TitleFade FirstCardFade;
extern const TitleFade SecondCardFade;

inline constexpr int RevealStepPixels = 16; // a line grows by this much per pass
inline constexpr int RevealPassMs = 30;     // wait after each pass

// The widths a line of natural width `naturalWidth` takes in turn while it is
// revealed: 0, 16, 32, ... up to the last multiple of 16 not above it. An
// empty line still takes one pass, at width 0.
QList<int> RevealWidths(int naturalWidth);

// Every "%s" in `line` replaced by `name`. The search goes on after the
// inserted name, so a name that itself holds "%s" is inserted as it is.
QString InsertName(QString line, const QString &name);

// The music pieces and the command strings that drive them.
inline const QString QuestionnaireMusic = QStringLiteral("TORVAM1.MID");
inline const QString StoryMusic = QStringLiteral("TORVAM2.MID");
QString MciOpen(const QString &file);
QString MciPlayNotify(const QString &file);
QString MciSeekToStart(const QString &file);
QString MciStop(const QString &file);
QString MciClose(const QString &file);
