#include "story/storyrules.h"

#include "platform/controls.h"

StoryLayout StoryPlacement(QSize screen, QSize label1, QSize label2, int panel1Height, QSize label3)
{
    const int w = screen.width();
    const int h = screen.height();
    StoryLayout layout;
    layout.label1 = {(w - label1.width()) / 2, h / 3};
    layout.label2 = {(w - label2.width()) / 2, (h / 5) * 3};
    // The panel is placed above the pointer's first place; the pointer is
    // then moved up by twice its height, where it blinks over the apology.
    const int pointerTop = h - PointerSize - PointerBottomGap;
    layout.panel1Top = pointerTop - panel1Height - PanelGap;
    layout.image0 = {(w - PointerSize) / 2, pointerTop - 2 * PointerSize};
    layout.image1 = {layout.image0.x(), panel1Height - PointerSize - PointerPanelGap};
    layout.label3 = {(w / 3) * 2, h - label3.height()};
    return layout;
}

const TitleFade FirstCardFade = {{
    {clr::Gray, 200},
    {clr::Silver, 200},
    {clr::White, 1000},
    {clr::Silver, 200},
    {clr::Gray, 200},
    {clr::Black, 200},
}};

const TitleFade SecondCardFade = {{
    {clr::Gray, 200},
    {clr::Silver, 200},
    {clr::White, 1000},
    {clr::Silver, 200},
    {clr::Gray, 200},
    {clr::Black, 1000},
}};

QList<int> RevealWidths(int naturalWidth)
{
    QList<int> widths;
    for (int width = 0; width <= naturalWidth; width += RevealStepPixels)
        widths.append(width);
    if (widths.isEmpty())
        widths.append(0);
    return widths;
}

QString InsertName(QString line, const QString &name)
{
    const QString mark = QStringLiteral("%s");
    for (qsizetype at = line.indexOf(mark); at >= 0; at = line.indexOf(mark, at + name.size())) {
        line.remove(at, mark.size());
        line.insert(at, name);
    }
    return line;
}

QString MciOpen(const QString &file)
{
    return QStringLiteral("open ") + file;
}
QString MciPlayNotify(const QString &file)
{
    return QStringLiteral("play ") + file + QStringLiteral(" notify");
}
QString MciSeekToStart(const QString &file)
{
    return QStringLiteral("seek ") + file + QStringLiteral(" to start");
}
QString MciStop(const QString &file)
{
    return QStringLiteral("stop ") + file;
}
QString MciClose(const QString &file)
{
    return QStringLiteral("close ") + file;
}
