#include "dialogs/torva3.h"

TForm3 *Form3 = nullptr;

TForm3::TForm3()
{
    setCaption(QStringLiteral("Name"));
    setBorderStyle(bsNoBorder);
    Edit1 = new TEdit(this);
}
