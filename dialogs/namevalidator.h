// Keeps every way into the name box (keys, pasting, dropping, input method
// commits) inside what the record store can hold; see namerules.h.
#pragma once

#include "platform/controls.h"

#include <QValidator>

class NameValidator : public QValidator {
public:
    explicit NameValidator(QObject *parent);

    // Called when a change is refused and nothing was inserted.
    TNotifyEvent OnRefused;

    State validate(QString &input, int &pos) const override;
};
