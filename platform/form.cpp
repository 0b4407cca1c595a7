#include "platform/form.h"

#include "platform/application.h"
#include "platform/services.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QKeyEvent>
#include <QPainter>

int toVirtualKey(int qtKey)
{
    switch (qtKey) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return VK_RETURN;
    case Qt::Key_Shift:
        return VK_SHIFT;
    case Qt::Key_Escape:
        return VK_ESCAPE;
    case Qt::Key_Space:
        return VK_SPACE;
    case Qt::Key_Up:
        return VK_UP;
    case Qt::Key_Down:
        return VK_DOWN;
    case Qt::Key_F4:
        return VK_F4;
    default:
        if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)
            return qtKey; // letters share their codes
        if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
            return qtKey;
        // Any other key still reaches the handlers, under a code none tests.
        return qtKey == 0 || qtKey == Qt::Key_unknown ? 0 : VK_OTHER;
    }
}

TForm::TForm() : TControl<QWidget>(nullptr)
{
    setAttribute(Qt::WA_DeleteOnClose, false);
    setAttribute(Qt::WA_QuitOnClose, false);
    setBorderStyle(bsSingle);
}

TForm::~TForm() = default;

void TForm::setClientSize(int width, int height) { setFixedSize(width, height); }

void TForm::setBorderStyle(TFormBorderStyle style, bool minimizeBox)
{
    Qt::WindowFlags flags = windowFlags() & Qt::WindowStaysOnTopHint;
    switch (style) {
    case bsNoBorder:
        flags |= Qt::Window | Qt::FramelessWindowHint;
        break;
    case bsDialog:
        flags |= Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
        break;
    case bsSingle:
    case bsSizeable:
        flags |= Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
        if (minimizeBox)
            flags |= Qt::WindowMinimizeButtonHint;
        break;
    }
    setWindowFlags(flags);
}

void TForm::setStayOnTop(bool onTop) { setWindowFlag(Qt::WindowStaysOnTopHint, onTop); }

void TForm::setColor(const QColor &color)
{
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, color);
    setPalette(palette);
    setAutoFillBackground(true);
}

int TForm::Left() const { return frameGeometry().x(); }
int TForm::Top() const { return frameGeometry().y(); }
int TForm::Width() const { return frameGeometry().width(); }
int TForm::Height() const { return frameGeometry().height(); }
void TForm::setLeft(int left) { move(left, Top()); }
void TForm::setTop(int top) { move(Left(), top); }

void TForm::setBounds(int left, int top, int width, int height)
{
    setFixedSize(width, height);
    move(left, top);
}

void TForm::setCursorShape(int cursor)
{
    cursor_ = cursor;
    setCursor(platform::cursorFor(cursor));
}

int TForm::ShowModal()
{
    modalResult_ = mrNone;
    modal_ = true;
    setWindowModality(Qt::ApplicationModal);
    show();
    raise();
    activateWindow();
    if (platform::services().modalShown) {
        QTimer::singleShot(0, this, [this] {
            if (modal_ && isVisible())
                platform::services().modalShown(*this);
        });
    }
    for (;;) {
        if (modalResult_ == mrNone && !platform::terminating()) {
            QEventLoop loop;
            loop_ = &loop;
            loop.exec();
            loop_ = nullptr;
        }
        // A game that is ending takes no answer from anyone.
        if (platform::terminating()) {
            modalResult_ = mrCancel;
            break;
        }
        if (modalResult_ != mrNone && canClose())
            break;
        modalResult_ = mrNone;
    }
    const int result = modalResult_;
    if (OnClose)
        OnClose();
    hide();
    modal_ = false;
    setWindowModality(Qt::NonModal);
    return result;
}

void TForm::setModalResult(int result)
{
    modalResult_ = result;
    if (loop_ && result != mrNone)
        loop_->quit();
}

void TForm::Close()
{
    if (modal_)
        setModalResult(mrCancel);
    else
        close();
}

bool TForm::canClose()
{
    bool allowed = true;
    if (OnCloseQuery)
        OnCloseQuery(allowed);
    return allowed;
}

void TForm::showEvent(QShowEvent *event)
{
    if (!event->spontaneous()) {
        if (OnShow)
            OnShow();
        if (ScreenCenter && !centred_) {
            centred_ = true;
            const QSize screen = platform::services().screen->size();
            move(qMax(0, (screen.width() - Width()) / 2),
                 qMax(0, (screen.height() - Height()) / 2));
        }
        if (KeyPreview)
            previewChildren();
    }
    QWidget::showEvent(event);
}

// A close request from the window system (the close box, Alt+F4) goes
// through the same close query as the form's own Close.
void TForm::closeEvent(QCloseEvent *event)
{
    if (modal_) {
        event->ignore();
        setModalResult(mrCancel);
        return;
    }
    if (closing_ || !canClose()) {
        event->ignore();
        return;
    }
    closing_ = true;
    if (OnClose)
        OnClose();
    closing_ = false;
    event->accept();
    if (platform::mainForm() == this)
        platform::beginTermination();
}

void TForm::previewChildren()
{
    for (QWidget *child : findChildren<QWidget *>())
        child->installEventFilter(this);
}

bool TForm::eventFilter(QObject *watched, QEvent *event)
{
    if (KeyPreview && event->type() == QEvent::KeyPress && watched != this) {
        auto *keyEvent = static_cast<QKeyEvent *>(event);
        int key = toVirtualKey(keyEvent->key());
        if (OnKeyDown && key != 0) {
            OnKeyDown(key, keyEvent->modifiers());
            if (key == 0)
                return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TForm::keyPressEvent(QKeyEvent *event)
{
    if (!handleKey(event))
        QWidget::keyPressEvent(event);
}

bool TForm::handleKey(QKeyEvent *event)
{
    int key = toVirtualKey(event->key());
    // Keys that reach the form itself; with key preview the children's keys
    // were shown to the form already.
    if (OnKeyDown && key != 0 && (!KeyPreview || focusWidget() == nullptr ||
                                  focusWidget() == this)) {
        OnKeyDown(key, event->modifiers());
        if (key == 0)
            return true;
    }
    if (key == VK_F4 && (event->modifiers() & Qt::AltModifier)) {
        close();
        return true;
    }
    const auto buttons = findChildren<TButton *>();
    if (key == VK_RETURN) {
        if (auto *focused = dynamic_cast<TButton *>(focusWidget())) {
            focused->Click();
            return true;
        }
        for (TButton *button : buttons) {
            if (button->Default && button->isEnabled()) {
                button->Click();
                return true;
            }
        }
    }
    if (key == VK_ESCAPE) {
        for (TButton *button : buttons) {
            if (button->Cancel && button->isEnabled()) {
                button->Click();
                return true;
            }
        }
    }
    return false;
}

void TForm::paintEvent(QPaintEvent *event)
{
    if (OnPaint) {
        QPainter painter(this);
        OnPaint(painter, event->rect());
    }
}
