#include "dialogs/torva6.h"

TForm6 *Form6 = nullptr;

TForm6::TForm6()
{
    setCaption(QStringLiteral("Y/N"));
    setBorderStyle(bsNoBorder);
}
