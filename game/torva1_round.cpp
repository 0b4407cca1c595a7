// The round: countdown, timed play, pulling and coasting paper.
#include "game/torva1.h"

#include "story/torva2.h"

void TForm1::RoundStart()
{
    Form2->SfcMode = CheckBox1->isChecked();
    Form2->ShowModal();
}

void TForm1::Timer1Timer() {}
void TForm1::CoastStep() {}
void TForm1::FormMouseDown(TMouseButton, TShiftState, int, int) {}
void TForm1::FormMouseMove(TShiftState, int, int) {}
void TForm1::FormMouseUp(TMouseButton, TShiftState, int, int) {}
void TForm1::FormPaint(QPainter &, const QRect &) {}
