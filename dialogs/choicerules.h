// The rules of the two small choice boxes, without any widget.
#pragma once

#include <QPoint>
#include <QSize>

namespace choicerules {

constexpr int FirstChoice = 0;   // おとこ / はい
constexpr int SecondChoice = 1;  // おんな / いいえ
constexpr int HiddenChoice = -1; // the invisible strip of the sex box

constexpr int Caption1Top = 16;
constexpr int Caption2Top = 56;
// The pointer sits a little lower than the caption it points at.
constexpr int PointerOffset = 3;
// Above the window, out of sight: minus the pointer's height.
constexpr int PointerOutOfSightTop = -16;

// Where the pointer's top goes beside the first or the second caption.
int pointerTop(int choice);

struct KeyOutcome {
    bool select = false;  // the pointer moves to `choice`
    bool confirm = false; // the box is answered with the current choice
    int choice = FirstChoice;
};

// Return and Space confirm, Up and Down select without wrapping round;
// every other key does nothing. No key reaches the hidden choice.
KeyOutcome afterKey(int key, int choice);

// Vertically centred and four fifths of the way across the free width:
// the right side of the screen. Integer divisions, the fifth taken first.
QPoint placement(QSize screen, QSize window);

} // namespace choicerules
