// The current user's registry, kept in one file (see platform/regfile.h for
// its format and what a damaged file means), with the registry class the
// game stores its records through.
//
// Reads see the file as it was when the key was opened, plus this object's
// own writes. Writes are gathered and saved when the key is closed (or the
// object destroyed), all or nothing: the file is read again just before, so
// values that another program wrote in the meantime stay, and only the
// values written here are replaced.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <stdexcept>

#include "platform/regfile.h"

// Root keys, numbered as Windows numbers them. Only the current user's hive
// is kept.
enum HKEY : unsigned { HKEY_CURRENT_USER = 0x80000001 };

class ERegistryException : public std::runtime_error {
public:
    using runtime_error::runtime_error;
};

class TRegistry {
public:
    HKEY RootKey = HKEY_CURRENT_USER;

    // On the file named by platform::services().registryFile, or on
    // platform::defaultRegistryFile() when that is empty.
    TRegistry();
    // On the given file.
    explicit TRegistry(const QString &hiveFile);
    ~TRegistry(); // closes the key, saving what was written
    TRegistry(const TRegistry &) = delete;
    TRegistry &operator=(const TRegistry &) = delete;

    // `key` is a path such as "\Software\Marrowind\TORVA\CurrentVersion"; a
    // leading backslash makes it a path from the hive's root, without one it
    // is below the key open at the moment. Closes the key open before.
    // False when the key does not exist and !canCreate, or when the file
    // cannot be read (it is a directory, or cannot be opened).
    bool OpenKey(const QString &key, bool canCreate);
    // Saves what was written since the key was opened. Never throws; a failed
    // save leaves the file as it was and shows in LastSaveFailed().
    void CloseKey();

    // A REG_DWORD of at most 4 bytes, little-endian (fewer bytes are
    // zero-extended). Throws ERegistryException when the value is missing,
    // unreadable, of another type or longer.
    int ReadInteger(const QString &name);
    // A REG_SZ or REG_EXPAND_SZ value up to its first NUL, decoded from code
    // page 932 (bytes outside it read as U+FFFD). A missing value reads as
    // empty text; an unreadable one or one of another type throws.
    QString ReadString(const QString &name);
    // REG_DWORD, 4 bytes little-endian.
    void WriteInteger(const QString &name, int value);
    // REG_SZ, the text's code page 932 bytes without a terminating NUL
    // (characters outside the code page become '?'). The key's default value
    // has the empty name. Writes throw ERegistryException when no key is
    // open or the name holds a line break or NUL.
    void WriteString(const QString &name, const QString &value);
    bool ValueExists(const QString &name);

    // Whether the last save (at CloseKey) failed.
    bool LastSaveFailed() const { return lastSaveFailed_; }

private:
    struct Write {
        QByteArray name;
        quint32 type;
        QByteArray data;
    };

    platform::RegKey &currentKey();
    const platform::RegValue *find(const QString &name);
    void write(const QString &name, quint32 type, const QByteArray &data);
    bool save();

    QString file_;
    platform::RegHive hive_;
    QString currentPath_; // "HKEY_CURRENT_USER\..."; empty when no key is open
    bool created_ = false;
    QList<Write> writes_;
    bool lastSaveFailed_ = false;
};

namespace platform {

// ${XDG_CONFIG_HOME:-$HOME/.config}/TORVA/HKCU.reg. Without either variable,
// the home folder of the user's account is used, and failing that the
// system's temporary folder (TORVA-<user id>/HKCU.reg there).
QString defaultRegistryFile();

} // namespace platform
