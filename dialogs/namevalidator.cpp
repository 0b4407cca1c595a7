#include "dialogs/namevalidator.h"

#include "dialogs/namerules.h"

NameValidator::NameValidator(QObject *parent) : QValidator(parent) {}

// The edit takes back a change that is Invalid and uses the text handed back
// otherwise, so a too long insertion is cut rather than lost.
QValidator::State NameValidator::validate(QString &input, int &pos) const
{
    const namerules::FittedName fitted = namerules::fitName(input, pos);
    if (fitted.fit == namerules::NameFit::Refused) {
        if (OnRefused)
            OnRefused();
        return Invalid;
    }
    input = fitted.text;
    pos = fitted.cursor;
    return Acceptable;
}
