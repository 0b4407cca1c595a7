#include "story/torva2.h"

TForm2 *Form2 = nullptr;

TForm2::TForm2()
{
    setCaption(QStringLiteral("Story"));
    setBorderStyle(bsNoBorder);
    setColor(clr::Black);
    Label1 = new TLabel(this);
    Label2 = new TLabel(this);
    Label3 = new TLabel(this);
    Label3->setCaption(QStringLiteral("[Alt]+[F4]でとばすことができます。"));
    Label3->Hide();
}

void TForm2::MciNotify(int) {}
