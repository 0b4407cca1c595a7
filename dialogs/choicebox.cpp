#include "dialogs/choicebox.h"

#include "dialogs/choicerules.h"

namespace choicebox {

namespace {
const QString MsPGothic = QStringLiteral("ＭＳ Ｐゴシック");
constexpr int DefaultFontHeight = 12;
constexpr int CaptionFontHeight = 21;

constexpr int BoxWidth = 104;
constexpr int BoxHeight = 91;
constexpr int FrameInset = 1;
constexpr int FramePenWidth = 2;

constexpr int CaptionLeft = 32;
constexpr int PointerLeft = 9;
constexpr int PointerSize = 16;
constexpr int BlinkInterval = 300;
} // namespace

void styleWindow(TForm *form, const QString &caption)
{
    form->setCaption(caption);
    form->setBorderStyle(bsNoBorder);
    form->setStayOnTop(true);
    form->setClientSize(BoxWidth, BoxHeight);
    form->setColor(clr::Black);
    form->setFont(vclFont(MsPGothic, DefaultFontHeight));
    form->KeyPreview = true;
}

TShape *frame(TForm *form)
{
    auto *shape = new TShape(form);
    shape->setGeometry(FrameInset, FrameInset, BoxWidth - 2 * FrameInset,
                       BoxHeight - 2 * FrameInset);
    shape->Shape = stRoundRect;
    shape->BrushColor = clr::Black;
    shape->PenColor = clr::White;
    shape->PenWidth = FramePenWidth;
    return shape;
}

TLabel *caption(TForm *form, int top, int width, int height, const QString &text)
{
    auto *label = new TLabel(form);
    label->setAutoSize(false);
    label->setGeometry(CaptionLeft, top, width, height);
    label->setFont(vclFont(MsPGothic, CaptionFontHeight, true));
    label->setFontColor(clr::White);
    label->setCaption(text);
    // Moving over a caption selects it, with or without a button held.
    label->trackMouse();
    return label;
}

TImage *pointer(TForm *form)
{
    auto *image = new TImage(form);
    image->setGeometry(PointerLeft, choicerules::pointerTop(choicerules::FirstChoice), PointerSize,
                       PointerSize);
    image->setPicture(QPixmap(QStringLiteral(":/pictures/pointer_right.png")));
    return image;
}

TTimer *blinkTimer(TForm *form)
{
    auto *timer = new TTimer(form);
    timer->setInterval(BlinkInterval);
    timer->setEnabled(true);
    return timer;
}

} // namespace choicebox
