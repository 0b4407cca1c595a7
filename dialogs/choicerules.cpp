#include "dialogs/choicerules.h"

#include "platform/form.h"

namespace choicerules {

namespace {
constexpr int PlacementParts = 5;
constexpr int PlacementPartsLeft = 4;
} // namespace

int pointerTop(int choice)
{
    return (choice == SecondChoice ? Caption2Top : Caption1Top) + PointerOffset;
}

KeyOutcome afterKey(int key, int choice)
{
    switch (key) {
    case VK_RETURN:
    case VK_SPACE:
        return {false, true, choice};
    case VK_UP:
        return {true, false, FirstChoice};
    case VK_DOWN:
        return {true, false, SecondChoice};
    default:
        return {false, false, choice};
    }
}

QPoint placement(QSize screen, QSize window)
{
    const int left = (screen.width() - window.width()) / PlacementParts * PlacementPartsLeft;
    const int top = (screen.height() - window.height()) / 2;
    return {left, top};
}

} // namespace choicerules
