// Rules of the record table that need no window: the table's shape, where a
// new result enters it, the date stamp and the millimetre texts.
#pragma once

#include <QDateTime>
#include <QString>

#include <array>

namespace ranking {

inline constexpr int RecordCount = 3;
// A round is ranked only when played with the usual time limit.
inline constexpr int RankedTimeLimit = 10;
// Below one centimetre (4 px) a result is told to the millimetre.
inline constexpr int PixelsPerCentimetre = 4;
inline constexpr int PixelsPerMetre = 400;
// A first place beyond 40 m shows the enhanced SFC mode on the title.
inline constexpr int SfcUnlockLength = 16000;

struct RecordEntry {
    int length = 0; // pixels
    QString name;
    QString date;
    int sex = 0; // PlayerSex + 2; 0 marks an empty slot
};

// Index 0 is rank 1, the best.
using RecordTable = std::array<RecordEntry, RecordCount>;

// Enters `entry` at its place, moving the lower entries down and dropping the
// old third. A result equal to a record goes below it. Returns the rank it got
// (1 to 3), or 0 when it did not rank and the table is unchanged.
int InsertRecord(RecordTable &table, const RecordEntry &entry);

// Whether the stored lengths are in order, best first (ties allowed).
bool LengthsInOrder(int first, int second, int third);

// Whether a best length of this many pixels shows the SFC mode check box.
bool UnlocksSfcMode(int bestLength);

// "2.5", "5.0", "7.5" for 1 to 3 px and "0.0" for 0; empty for anything else.
QString MillimetreText(int pixels);

// The date stamp of a record, "yyyy/m/d  h:nn:ss" with '/' and ':' whatever
// the locale: 5 March 2001 09:07:03 gives "2001/3/5  9:07:03".
QString RecordDateText(const QDateTime &moment);

} // namespace ranking
