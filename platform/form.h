// A top-level window in the manner of a classic form: fixed client size,
// border style, stay-on-top, show/close-query/close events, key preview and
// modal showing with a modal result.
#pragma once

#include "platform/controls.h"

#include <QWidget>

#include <functional>

class QEventLoop;

enum TFormBorderStyle { bsSizeable, bsSingle, bsDialog, bsNoBorder };
enum TCursor { crDefault = 0, crHourGlass = -11, crNo = -12 };
enum TModalResult { mrNone = 0, mrOk = 1, mrCancel = 2 };

// Virtual key codes the windows test.
enum VirtualKey : int {
    VK_RETURN = 13,
    VK_SHIFT = 16,
    VK_ESCAPE = 27,
    VK_SPACE = 32,
    VK_UP = 38,
    VK_DOWN = 40,
    VK_F4 = 115,
    VK_OTHER = 0xFF,
};
int toVirtualKey(int qtKey);

using TCloseQueryEvent = std::function<void(bool &canClose)>;
using TKeyEvent = std::function<void(int &key, TShiftState shift)>;

class TForm : public TControl<QWidget> {
public:
    TForm();
    ~TForm() override;

    void setCaption(const QString &caption) { setWindowTitle(caption); }
    void setClientSize(int width, int height);
    int ClientWidth() const { return width(); }
    int ClientHeight() const { return height(); }
    void setBorderStyle(TFormBorderStyle style, bool minimizeBox = false);
    void setStayOnTop(bool onTop);
    void setColor(const QColor &color);
    // Centred on the primary screen at the first showing only.
    bool ScreenCenter = false;
    // With key preview the form sees every key before the focused control.
    bool KeyPreview = false;

    // The outer window (frame included), as the window system places it.
    int Left() const;
    int Top() const;
    int Width() const;
    int Height() const;
    void setLeft(int left);
    void setTop(int top);
    void setBounds(int left, int top, int width, int height);

    void setCursorShape(int cursor);
    int CursorShape() const { return cursor_; }

    TNotifyEvent OnShow;
    TCloseQueryEvent OnCloseQuery;
    TNotifyEvent OnClose;
    TKeyEvent OnKeyDown;
    std::function<void(QPainter &, const QRect &)> OnPaint;

    // Shows the form modally and returns its modal result once it closed.
    int ShowModal();
    bool Modal() const { return modal_; }
    // Asks the form to close: a modal form ends its modal showing with the
    // cancel result, once its close query allows it.
    void Close();
    int ModalResult() const { return modalResult_; }
    void setModalResult(int result);

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    bool canClose();
    bool handleKey(QKeyEvent *event);
    void previewChildren();

    int cursor_ = crDefault;
    int modalResult_ = mrNone;
    bool modal_ = false;
    bool centred_ = false;
    bool closing_ = false;
    QEventLoop *loop_ = nullptr;
};
