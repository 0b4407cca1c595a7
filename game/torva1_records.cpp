// The record table: loaded at the first showing, saved at close, and the
// ranking at the end of a round.
#include "game/torva1.h"

void TForm1::LoadRecords()
{
    if (RecordLength[0] != 0)
        Panel3->Show();
    if (RecordLength[0] > 16000)
        CheckBox1->show();
}

void TForm1::SaveRecords() {}
void TForm1::RankingUpdate() {}
