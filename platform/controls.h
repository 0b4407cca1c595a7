// Controls in the manner of a classic form designer: each is a Qt widget with
// the handful of properties and events the game's windows use. Positions are
// in the parent's client coordinates; mouse events report the control's own.
#pragma once

#include <QCheckBox>
#include <QColor>
#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

#include <functional>

enum TMouseButton { mbLeft, mbRight, mbMiddle };
using TShiftState = Qt::KeyboardModifiers;
using TMouseEvent = std::function<void(TMouseButton, TShiftState, int, int)>;
using TMouseMoveEvent = std::function<void(TShiftState, int, int)>;
using TNotifyEvent = std::function<void()>;

enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TBevelCut { bvNone, bvLowered, bvRaised };
enum TShapeType { stRectangle, stRoundRect };
enum TBrushStyle { bsSolid, bsClear };

// The classic colour names.
namespace clr {
inline const QColor Black{0, 0, 0};
inline const QColor White{255, 255, 255};
inline const QColor Silver{192, 192, 192};
inline const QColor Gray{128, 128, 128};
inline const QColor Red{255, 0, 0};
inline const QColor Blue{0, 0, 255};
inline const QColor Yellow{255, 255, 0};
inline const QColor Maroon{128, 0, 0};
inline const QColor Green{0, 128, 0};
} // namespace clr

TMouseButton toMouseButton(Qt::MouseButton button);

// What every control shares: a tag, geometry accessors and mouse events.
// A control takes the mouse events over its whole rectangle and does not pass
// them on to its parent; a left press and release inside is a click.
template <class Base> class TControl : public Base {
public:
    explicit TControl(QWidget *parent) : Base(parent) {}

    int Tag = 0;
    TNotifyEvent OnClick;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;

    int Left() const { return this->x(); }
    int Top() const { return this->y(); }
    int Width() const { return this->width(); }
    int Height() const { return this->height(); }
    void setLeft(int left) { this->move(left, this->y()); }
    void setTop(int top) { this->move(this->x(), top); }
    void setWidth(int width) { this->resize(width, this->height()); }
    void setHeight(int height) { this->resize(this->width(), height); }
    void setBounds(int left, int top, int width, int height)
    {
        this->setGeometry(left, top, width, height);
    }
    bool Visible() const { return !this->isHidden(); }
    void Show() { this->setVisible(true); }
    void Hide() { this->setVisible(false); }
    // Makes moves reach OnMouseMove also while no button is held.
    void trackMouse() { this->setMouseTracking(true); }

protected:
    void mousePressEvent(QMouseEvent *event) override
    {
        event->accept();
        if (event->button() == Qt::LeftButton)
            clickArmed_ = true;
        if (OnMouseDown)
            OnMouseDown(toMouseButton(event->button()), event->modifiers(),
                        event->position().toPoint().x(), event->position().toPoint().y());
    }
    void mouseMoveEvent(QMouseEvent *event) override
    {
        event->accept();
        if (OnMouseMove)
            OnMouseMove(event->modifiers(), event->position().toPoint().x(),
                        event->position().toPoint().y());
    }
    void mouseReleaseEvent(QMouseEvent *event) override
    {
        event->accept();
        const QPoint p = event->position().toPoint();
        const bool click = event->button() == Qt::LeftButton && clickArmed_ &&
                           this->rect().contains(p);
        if (event->button() == Qt::LeftButton)
            clickArmed_ = false;
        if (OnMouseUp)
            OnMouseUp(toMouseButton(event->button()), event->modifiers(), p.x(), p.y());
        if (click && OnClick)
            OnClick();
    }
    void mouseDoubleClickEvent(QMouseEvent *event) override { mousePressEvent(event); }

private:
    bool clickArmed_ = false;
};

// Sets a font by the names the windows were designed with; see fonts.h.
QFont vclFont(const QString &family, int pixelHeight, bool bold = false, bool italic = false,
              bool underline = false);

class TLabel : public TControl<QLabel> {
public:
    explicit TLabel(QWidget *parent);

    QString Caption() const { return text(); }
    void setCaption(const QString &caption);
    // Sized to its text (the default) or fixed.
    void setAutoSize(bool autoSize);
    void setAlignment(TAlignment alignment);
    void setFont(const QFont &font);
    void setFontColor(const QColor &color);
    QColor FontColor() const;
    // Background colour; a transparent label shows its parent through.
    void setColor(const QColor &color);
    void setTransparent(bool transparent);

    // The size an auto-sized label takes from its text is settled before it
    // is read here; see fitToText.
    int Left() const { return x(); }
    int Top() const { return y(); }
    int Width() const { return width(); }
    int Height() const { return height(); }
    int x() const { return settled().QLabel::x(); }
    int y() const { return settled().QLabel::y(); }
    int width() const { return settled().QLabel::width(); }
    int height() const { return settled().QLabel::height(); }
    QSize size() const { return settled().QLabel::size(); }
    QPoint pos() const { return settled().QLabel::pos(); }
    QRect rect() const { return settled().QLabel::rect(); }
    const QRect &geometry() const { return settled().QLabel::geometry(); }
    void setLeft(int left) { settle(), TControl<QLabel>::setLeft(left); }
    void setTop(int top) { settle(), TControl<QLabel>::setTop(top); }
    void setWidth(int width) { settle(), TControl<QLabel>::setWidth(width); }
    void setHeight(int height) { settle(), TControl<QLabel>::setHeight(height); }
    void setBounds(int left, int top, int width, int height)
    {
        settle(), TControl<QLabel>::setBounds(left, top, width, height);
    }
    void setGeometry(int left, int top, int width, int height)
    {
        settle(), QLabel::setGeometry(left, top, width, height);
    }
    void setGeometry(const QRect &rect) { settle(), QLabel::setGeometry(rect); }
    void move(int left, int top) { settle(), QLabel::move(left, top); }
    void move(const QPoint &point) { settle(), QLabel::move(point); }
    void resize(int width, int height) { settle(), QLabel::resize(width, height); }
    void resize(const QSize &size) { settle(), QLabel::resize(size); }
    // Takes the size of the text now if that was left for later.
    void settle();

protected:
    void showEvent(QShowEvent *event) override;
    void moveEvent(QMoveEvent *event) override;

private:
    void fitToText();
    void fitNow();
    bool covered() const;
    const TLabel &settled() const
    {
        const_cast<TLabel *>(this)->settle();
        return *this;
    }
    bool fitPending_ = false;
    bool autoSize_ = true;
    TAlignment alignment_ = taLeftJustify;
    bool measured_ = false;
    QString measuredText_;
    QFont measuredFont_;
    QSize measuredSize_;
};

class TPanel : public TControl<QWidget> {
public:
    explicit TPanel(QWidget *parent);

    QString Caption() const { return caption_; }
    void setCaption(const QString &caption);
    TBevelCut BevelOuter() const { return bevelOuter_; }
    void setBevelOuter(TBevelCut bevel);
    void setBevelInner(TBevelCut bevel);
    void setColor(const QColor &color);
    void setFontColor(const QColor &color);

protected:
    void paintEvent(QPaintEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void uncover();
    QString caption_;
    TBevelCut bevelOuter_ = bvRaised;
    TBevelCut bevelInner_ = bvNone;
    QColor color_ = clr::Silver;
    QColor fontColor_ = clr::Black;
};

class TShape : public TControl<QWidget> {
public:
    explicit TShape(QWidget *parent);

    TShapeType Shape = stRectangle;
    QColor BrushColor = clr::White;
    TBrushStyle BrushStyle = bsSolid;
    QColor PenColor = clr::Black;
    int PenWidth = 1;
    bool PenVisible = true;

protected:
    void paintEvent(QPaintEvent *event) override;
};

class TImage : public TControl<QWidget> {
public:
    explicit TImage(QWidget *parent);

    void setPicture(const QPixmap &picture);
    const QPixmap &Picture() const { return picture_; }
    bool Stretch = false;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QPixmap picture_;
};

class TCheckBox : public QCheckBox {
public:
    explicit TCheckBox(QWidget *parent);

    bool Checked() const { return isChecked(); }
    void setChecked(bool checked) { QCheckBox::setChecked(checked); }
    bool Visible() const { return !isHidden(); }
};

class TEdit : public QLineEdit {
public:
    explicit TEdit(QWidget *parent);

    QString Text() const { return text(); }
    void setText(const QString &text) { QLineEdit::setText(text); }
    TNotifyEvent OnChange;
};

class TButton : public QPushButton {
public:
    explicit TButton(QWidget *parent);

    // Return presses the default button of a form, Escape its cancel button.
    bool Default = false;
    bool Cancel = false;
    // A nonzero modal result closes the modal form it sits on when pressed.
    int ModalResult = 0;
    TNotifyEvent OnClick;
    void Click();
};

class TTimer : public QObject {
public:
    explicit TTimer(QObject *parent);

    int Interval() const { return interval_; }
    void setInterval(int milliseconds);
    bool Enabled() const { return enabled_; }
    void setEnabled(bool enabled);
    TNotifyEvent OnTimer;

private:
    void restart();
    QTimer timer_;
    int interval_ = 1000;
    bool enabled_ = true;
};
