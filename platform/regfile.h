// A registry hive kept in a text file in the format that the Windows
// registry editor exports on a Japanese system (REGEDIT4, code page 932,
// CRLF line ends):
//
//   REGEDIT4
//
//   [HKEY_CURRENT_USER\Software\Marrowind\TORVA\CurrentVersion]
//   @="TORVAデータ．解析不可(笑)"
//   "Name0"="C:\\dir \"quoted\""
//   "Mts0"=dword:0000abcd
//   "Blob"=hex:01,02,03
//   "Path"=hex(2):25,00
//
// Reading keeps every key and every value, of this program or another, and
// writing writes them back: a value that is not written anew comes out as it
// came in. Names and data are kept as the file's bytes (code page 932);
// names and key paths compare without regard to ASCII or Unicode case.
//
// A damaged file is read as far as it goes and never makes anything crash:
// - A value line that cannot be understood stays in its key as an
//   unreadable value (its lines are kept and written back unchanged); reading
//   it fails, the values around it read as usual. Text that is no value line
//   at all stays in its key the same way but has no name.
// - Lines before the first key header, a missing "REGEDIT4" first line and a
//   file over kMaxHiveFileSize (not read at all) mark the hive damaged.
// - `[-key]` and `"Name"=-` delete, as importing the file would: the key with
//   its subkeys, or the value, as read so far. A later header or value of the
//   same name adds to the key or replaces the value read before. Comments
//   (";" lines) are dropped.
// Saving over a damaged file first keeps a copy of it beside it, with ".bak"
// appended to its name; if the copy cannot be made, nothing is saved.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace platform {

// Registry value types, numbered as Windows numbers them.
enum RegType : quint32 {
    REG_NONE = 0,
    REG_SZ = 1,
    REG_EXPAND_SZ = 2,
    REG_BINARY = 3,
    REG_DWORD = 4,
    REG_MULTI_SZ = 7,
};

// A hive file larger than this is not read: it is taken as damaged.
constexpr qint64 kMaxHiveFileSize = 1024 * 1024;

struct RegValue {
    enum class Kind {
        Data,       // name, type and data
        Unreadable, // a named value whose data could not be understood
        Junk,       // a line that is no value at all; has no name
    };
    Kind kind = Kind::Data;
    QByteArray name; // empty: the key's default value ("@")
    quint32 type = REG_NONE;
    QByteArray data;
    QByteArray lines; // Unreadable and Junk: the text as found, CRLF-separated
};

struct RegKey {
    QByteArray path; // "HKEY_CURRENT_USER\Software\..."
    QList<RegValue> values;

    // The value of that name (Data or Unreadable), or null.
    RegValue *find(const QByteArray &name);
    // Sets the value, in place if it exists, else at the end (the default
    // value at the front, where the registry editor puts it).
    void set(const QByteArray &name, quint32 type, const QByteArray &data);
};

struct RegHive {
    QList<RegKey> keys;
    bool damaged = false;

    RegKey *findKey(const QByteArray &path);
    // The key, created with every missing key between it and the hive's root
    // (never the root itself), each placed after its parent's last subkey.
    RegKey &createKey(const QByteArray &path);

    static RegHive parse(const QByteArray &text);
    QByteArray serialise() const;
};

struct HiveFile {
    enum class State {
        Missing,    // no file: an empty hive
        Loaded,     // read (it may still be damaged: see RegHive::damaged)
        Unreadable, // a directory, a file that cannot be opened or read
    };
    State state = State::Missing;
    RegHive hive;
    bool needsBackup = false; // a damaged file with something in it
};

HiveFile readHiveFile(const QString &path);

// Replaces the file with the hive, all or nothing (a crash or a full disk
// leaves the old file or the new one), creating its folder if need be.
// `backupOld` first copies the old file to path + ".bak". False when anything
// failed; the old file is then as it was.
bool writeHiveFile(const QString &path, const RegHive &hive, bool backupOld);

} // namespace platform
