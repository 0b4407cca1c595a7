#include "records/torva4.h"

TForm4 *Form4 = nullptr;

TForm4::TForm4()
{
    setCaption(QStringLiteral("ハイスコア"));
    setBorderStyle(bsDialog);
    setClientSize(591, 199);
}
