#include "platform/controls.h"

#include "platform/fonts.h"
#include "platform/form.h"

#include <QPainter>

TMouseButton toMouseButton(Qt::MouseButton button)
{
    switch (button) {
    case Qt::RightButton:
        return mbRight;
    case Qt::MiddleButton:
        return mbMiddle;
    default:
        return mbLeft;
    }
}

QFont vclFont(const QString &family, int pixelHeight, bool bold, bool italic, bool underline)
{
    QFont font(platform::fontFamily(family));
    font.setPixelSize(pixelHeight);
    font.setBold(bold);
    font.setItalic(italic);
    font.setUnderline(underline);
    font.setStyleStrategy(QFont::PreferDefault);
    return font;
}

namespace {
void setRole(QWidget *widget, QPalette::ColorRole role, const QColor &color)
{
    QPalette palette = widget->palette();
    palette.setColor(role, color);
    widget->setPalette(palette);
}
} // namespace

// ---------------------------------------------------------------- TLabel

TLabel::TLabel(QWidget *parent) : TControl<QLabel>(parent)
{
    setTextFormat(Qt::PlainText);
    setAlignment(taLeftJustify);
    setMargin(0);
    setIndent(0);
    setTransparent(true);
}

void TLabel::setCaption(const QString &caption)
{
    setText(caption);
    fitToText();
}

void TLabel::setAutoSize(bool autoSize)
{
    autoSize_ = autoSize;
    fitToText();
}

void TLabel::setAlignment(TAlignment alignment)
{
    alignment_ = alignment;
    Qt::Alignment horizontal = Qt::AlignLeft;
    if (alignment == taRightJustify)
        horizontal = Qt::AlignRight;
    else if (alignment == taCenter)
        horizontal = Qt::AlignHCenter;
    QLabel::setAlignment(horizontal | Qt::AlignTop);
}

void TLabel::setFont(const QFont &font)
{
    QLabel::setFont(font);
    fitToText();
}

void TLabel::setFontColor(const QColor &color) { setRole(this, QPalette::WindowText, color); }

QColor TLabel::FontColor() const { return palette().color(QPalette::WindowText); }

void TLabel::setColor(const QColor &color)
{
    setRole(this, QPalette::Window, color);
    setTransparent(false);
}

void TLabel::setTransparent(bool transparent) { setAutoFillBackground(!transparent); }

// An auto-sized label takes the width and height of its text; a
// right-justified one keeps its right edge where it was. Measuring a text
// loads its font, which costs milliseconds the first time; a label in a
// window that has never been shown, or one under an opaque control, is
// measured later: when it is shown uncovered, when what covers it goes, or
// when its size is read or changed.
void TLabel::fitToText()
{
    if (!autoSize_)
        return;
    if (!window()->testAttribute(Qt::WA_WState_Created) || (isVisible() && covered())) {
        fitPending_ = true;
        return;
    }
    fitNow();
}

void TLabel::settle()
{
    if (fitPending_)
        fitNow();
}

void TLabel::showEvent(QShowEvent *event)
{
    if (fitPending_ && !covered())
        fitNow();
    TControl<QLabel>::showEvent(event);
}

// A label moved out from under what covered it is measured before it is
// painted.
void TLabel::moveEvent(QMoveEvent *event)
{
    if (fitPending_ && isVisible() && !covered())
        fitNow();
    TControl<QLabel>::moveEvent(event);
}

// Under a sibling above it that is shown, paints every pixel and holds the
// label's whole rectangle.
bool TLabel::covered() const
{
    const QWidget *parent = parentWidget();
    if (!parent)
        return false;
    const QObjectList &siblings = parent->children();
    for (qsizetype i = siblings.indexOf(const_cast<TLabel *>(this)) + 1; i < siblings.size(); ++i) {
        const QObject *sibling = siblings.at(i);
        if (!sibling->isWidgetType())
            continue;
        const auto *widget = static_cast<const QWidget *>(sibling);
        if (!widget->isHidden() && widget->testAttribute(Qt::WA_OpaquePaintEvent) &&
            widget->geometry().contains(QLabel::geometry()))
            return true;
    }
    return false;
}

void TLabel::fitNow()
{
    fitPending_ = false;
    if (!autoSize_)
        return;
    // The same text in the same font measures the same: a caption set again
    // each step (the length while pulling) is not measured again.
    if (!measured_ || text() != measuredText_ || font() != measuredFont_) {
        const QFontMetrics metrics(font());
        measured_ = true;
        measuredText_ = text();
        measuredFont_ = font();
        measuredSize_ =
            QSize(text().isEmpty() ? 0 : metrics.horizontalAdvance(text()), metrics.height());
    }
    const int width = measuredSize_.width();
    const int height = measuredSize_.height();
    if (alignment_ == taRightJustify) {
        const int right = x() + this->width();
        setGeometry(right - width, y(), width, height);
    } else {
        resize(width, height);
    }
}

// ---------------------------------------------------------------- TPanel

// A panel paints every pixel of its rectangle, so what lies under it is not
// painted at all.
TPanel::TPanel(QWidget *parent) : TControl<QWidget>(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

// Labels this panel covered take the size of their text before they are
// painted.
void TPanel::uncover()
{
    if (QWidget *parent = parentWidget()) {
        for (TLabel *label : parent->findChildren<TLabel *>(Qt::FindDirectChildrenOnly))
            label->settle();
    }
}

void TPanel::hideEvent(QHideEvent *event)
{
    uncover();
    TControl<QWidget>::hideEvent(event);
}

// A panel shown for the first time gets the moves and resizes it was given
// while hidden; only those of a panel on screen can uncover anything.
void TPanel::moveEvent(QMoveEvent *event)
{
    if (isVisible())
        uncover();
    TControl<QWidget>::moveEvent(event);
}

void TPanel::resizeEvent(QResizeEvent *event)
{
    if (isVisible())
        uncover();
    TControl<QWidget>::resizeEvent(event);
}

void TPanel::setCaption(const QString &caption)
{
    caption_ = caption;
    update();
}

void TPanel::setBevelOuter(TBevelCut bevel)
{
    if (bevelOuter_ == bevel)
        return;
    bevelOuter_ = bevel;
    update();
}

void TPanel::setBevelInner(TBevelCut bevel)
{
    bevelInner_ = bevel;
    update();
}

void TPanel::setColor(const QColor &color)
{
    color_ = color;
    update();
}

void TPanel::setFontColor(const QColor &color)
{
    fontColor_ = color;
    update();
}

namespace {
// A one-pixel bevel: light on the top and left, dark on the bottom and right
// for a raised edge, the other way round for a lowered one.
QRect drawBevel(QPainter &painter, QRect rect, TBevelCut cut)
{
    if (cut == bvNone)
        return rect;
    const QColor light = cut == bvRaised ? clr::White : clr::Gray;
    const QColor dark = cut == bvRaised ? clr::Gray : clr::White;
    painter.setPen(light);
    painter.drawLine(rect.topLeft(), rect.topRight());
    painter.drawLine(rect.topLeft(), rect.bottomLeft());
    painter.setPen(dark);
    painter.drawLine(rect.bottomLeft(), rect.bottomRight());
    painter.drawLine(rect.topRight(), rect.bottomRight());
    return rect.adjusted(1, 1, -1, -1);
}
} // namespace

void TPanel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), color_);
    QRect inner = drawBevel(painter, rect(), bevelOuter_);
    inner = drawBevel(painter, inner, bevelInner_);
    if (!caption_.isEmpty()) {
        painter.setPen(fontColor_);
        painter.setFont(font());
        painter.drawText(rect(), Qt::AlignCenter, caption_);
    }
}

// ---------------------------------------------------------------- TShape

TShape::TShape(QWidget *parent) : TControl<QWidget>(parent) {}

void TShape::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const int penWidth = PenVisible ? PenWidth : 0;
    if (penWidth > 0) {
        QPen pen(PenColor);
        pen.setWidth(penWidth);
        pen.setJoinStyle(Qt::MiterJoin);
        painter.setPen(pen);
    } else {
        painter.setPen(Qt::NoPen);
    }
    painter.setBrush(BrushStyle == bsSolid ? QBrush(BrushColor) : QBrush(Qt::NoBrush));
    // The outline lies inside the shape's rectangle.
    const qreal half = penWidth / 2.0;
    const QRectF box = QRectF(rect()).adjusted(half, half, -half, -half);
    if (Shape == stRoundRect) {
        painter.setRenderHint(QPainter::Antialiasing);
        // The corners are a quarter of the shorter side.
        const qreal radius = qMin(width(), height()) / 8.0;
        painter.drawRoundedRect(box, radius, radius);
    } else if (penWidth > 0) {
        painter.drawRect(QRectF(rect()).adjusted(half, half, -penWidth + half, -penWidth + half));
    } else {
        painter.fillRect(rect(), painter.brush());
    }
}

// ---------------------------------------------------------------- TImage

TImage::TImage(QWidget *parent) : TControl<QWidget>(parent) {}

void TImage::setPicture(const QPixmap &picture)
{
    picture_ = picture;
    update();
}

void TImage::paintEvent(QPaintEvent *)
{
    if (picture_.isNull())
        return;
    QPainter painter(this);
    if (Stretch)
        painter.drawPixmap(rect(), picture_);
    else
        painter.drawPixmap(0, 0, picture_);
}

// ---------------------------------------------------------------- TCheckBox

TCheckBox::TCheckBox(QWidget *parent) : QCheckBox(parent) {}

// ---------------------------------------------------------------- TEdit

TEdit::TEdit(QWidget *parent) : QLineEdit(parent)
{
    QObject::connect(this, &QLineEdit::textChanged, this, [this] {
        if (OnChange)
            OnChange();
    });
}

// ---------------------------------------------------------------- TButton

TButton::TButton(QWidget *parent) : QPushButton(parent)
{
    setAutoDefault(false);
    QObject::connect(this, &QPushButton::clicked, this, [this] { Click(); });
}

void TButton::Click()
{
    if (!isEnabled())
        return;
    if (OnClick)
        OnClick();
    if (ModalResult != 0) {
        if (auto *form = dynamic_cast<TForm *>(window()))
            form->setModalResult(ModalResult);
    }
}

// ---------------------------------------------------------------- TTimer

TTimer::TTimer(QObject *parent) : QObject(parent)
{
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, this, [this] {
        if (OnTimer)
            OnTimer();
    });
    restart();
}

void TTimer::setInterval(int milliseconds)
{
    interval_ = milliseconds;
    restart();
}

void TTimer::setEnabled(bool enabled)
{
    enabled_ = enabled;
    restart();
}

// Like the classic timer, any change starts the interval anew.
void TTimer::restart()
{
    timer_.stop();
    if (enabled_ && interval_ > 0)
        timer_.start(interval_);
}
