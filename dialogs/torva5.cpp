#include "dialogs/torva5.h"

TForm5 *Form5 = nullptr;

TForm5::TForm5()
{
    setCaption(QStringLiteral("Sex"));
    setBorderStyle(bsNoBorder);
}
