// What the name box accepts as the hero's name, without any widget.
#pragma once

#include <QString>

namespace namerules {

// The name is kept in code page 932 and may take at most this many bytes:
// 14 half-width or 7 full-width characters.
constexpr int MaxNameBytes = 14;

// The hero may not be called by the legend's own name, and "%s" would keep
// the story's name substitution going for ever.
bool isRefusedName(const QString &name);

// OK can be pressed exactly when something is typed; blanks count.
bool canSubmit(const QString &text);

enum class NameFit {
    Fits,    // kept as it is
    Trimmed, // kept after cutting the overflow or normalising characters
    Refused, // holds a character the saved records could not keep
};

struct FittedName {
    NameFit fit;
    QString text;
    int cursor;
};

// What the edit keeps of a text just changed by typing, pasting or an input
// method commit, with the cursor after the inserted part. A character that
// code page 932 cannot hold, or a control character, refuses the whole
// change. Otherwise characters that the code page reads back differently are
// stored as it reads them (U+301C WAVE DASH becomes U+FF5E), and text beyond
// the byte limit is cut just before the cursor, that is from the end of what
// was inserted, so the name always survives the record store unchanged.
FittedName fitName(const QString &text, int cursor);

} // namespace namerules
