#include "platform/regfile.h"

#include "platform/cp932.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSaveFile>
#include <QtEndian>

#include <cctype>

namespace platform {

namespace {

constexpr char kFirstLine[] = "REGEDIT4";
constexpr char kLineEnd[] = "\r\n";
// The registry editor breaks a hex list once a line has reached this many
// columns, with ",\" and an indent of two blanks on the next line.
constexpr qsizetype kHexWrapColumn = 77;
constexpr char kHexContinuation[] = "\\\r\n  ";
constexpr qsizetype kHexIndent = 2;
constexpr qsizetype kDwordDigits = 8;
constexpr qsizetype kDwordBytes = 4;
constexpr qsizetype kMaxTypeDigits = 8;

bool isAsciiName(const QByteArray &name)
{
    for (char c : name) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
}

// What two names that differ only in case have in common.
QString foldedName(const QByteArray &name)
{
    return fromCp932(name).toCaseFolded();
}

bool sameName(const QByteArray &a, const QByteArray &b)
{
    if (a == b)
        return true;
    if (isAsciiName(a) && isAsciiName(b))
        return a.size() == b.size() && qstrnicmp(a.constData(), b.constData(), a.size()) == 0;
    return foldedName(a) == foldedName(b);
}

// Where the last "\" that separates two key names is; a trail byte 0x5C of a
// double-byte character is none. -1 when there is none.
qsizetype lastSeparator(const QByteArray &path)
{
    qsizetype found = -1;
    for (qsizetype i = 0; i < path.size(); ++i) {
        const auto b = static_cast<unsigned char>(path[i]);
        if (isCp932LeadByte(b) && i + 1 < path.size())
            ++i;
        else if (b == '\\')
            found = i;
    }
    return found;
}

bool isSameOrBelow(const QByteArray &path, const QByteArray &ancestor)
{
    if (path.size() == ancestor.size())
        return sameName(path, ancestor);
    return path.size() > ancestor.size() && path[ancestor.size()] == '\\' &&
           sameName(path.left(ancestor.size()), ancestor);
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

qsizetype skipBlanks(const QByteArray &line, qsizetype pos)
{
    while (pos < line.size() && isBlank(line[pos]))
        ++pos;
    return pos;
}

// Reads the quoted text that starts at line[pos] (a '"'), undoing the
// escapes "\\" and "\"" and taking a double-byte character as a whole, so
// its trail byte 0x5C is no escape. The position after the closing quote, or
// -1 when the quote is not closed.
qsizetype readQuoted(const QByteArray &line, qsizetype pos, QByteArray *out)
{
    out->clear();
    for (qsizetype i = pos + 1; i < line.size(); ++i) {
        const auto b = static_cast<unsigned char>(line[i]);
        if (isCp932LeadByte(b) && i + 1 < line.size() &&
            isCp932TrailByte(static_cast<unsigned char>(line[i + 1]))) {
            out->append(line.mid(i, 2));
            ++i;
        } else if (b == '\\') {
            if (++i == line.size())
                return -1;
            out->append(line[i]);
        } else if (b == '"') {
            return i + 1;
        } else {
            out->append(char(b));
        }
    }
    return -1;
}

QByteArray quoted(const QByteArray &text)
{
    QByteArray out = "\"";
    for (qsizetype i = 0; i < text.size(); ++i) {
        const auto b = static_cast<unsigned char>(text[i]);
        if (isCp932LeadByte(b) && i + 1 < text.size() &&
            isCp932TrailByte(static_cast<unsigned char>(text[i + 1]))) {
            out.append(text.mid(i, 2));
            ++i;
            continue;
        }
        if (b == '\\' || b == '"')
            out.append('\\');
        out.append(char(b));
    }
    out.append('"');
    return out;
}

// Whether REG_SZ data can be written as quoted text and read back the same.
bool isPlainText(const QByteArray &data)
{
    bool ok = false;
    fromCp932(data, &ok);
    return ok && !data.contains('\0') && !data.contains('\r') && !data.contains('\n');
}

bool parseHexNumber(const QByteArray &digits, qsizetype maxDigits, quint32 *value)
{
    if (digits.isEmpty() || digits.size() > maxDigits)
        return false;
    for (char c : digits) {
        if (!std::isxdigit(static_cast<unsigned char>(c)))
            return false;
    }
    *value = digits.toUInt(nullptr, 16);
    return true;
}

// "01,ab,ff" (blanks allowed around the bytes, a comma may end the list).
bool parseHexList(const QByteArray &text, QByteArray *out)
{
    out->clear();
    QList<QByteArray> items = text.trimmed().split(',');
    if (items.size() == 1 && items.front().isEmpty())
        return true;
    if (items.size() > 1 && items.back().trimmed().isEmpty())
        items.removeLast();
    for (const QByteArray &item : items) {
        quint32 byte = 0;
        if (!parseHexNumber(item.trimmed(), 2, &byte))
            return false;
        out->append(char(byte));
    }
    return true;
}

bool startsWithNoCase(const QByteArray &text, const char *prefix)
{
    const qsizetype n = qstrlen(prefix);
    return text.size() >= n && qstrnicmp(text.constData(), prefix, n) == 0;
}

// The data after "Name"=, into type and bytes. False when it is none of the
// known forms.
bool parseData(const QByteArray &text, quint32 *type, QByteArray *data)
{
    const QByteArray rest = text.trimmed();
    if (rest.startsWith('"')) {
        const qsizetype end = readQuoted(rest, 0, data);
        *type = REG_SZ;
        return end == rest.size();
    }
    if (startsWithNoCase(rest, "dword:")) {
        quint32 value = 0;
        if (!parseHexNumber(rest.mid(qstrlen("dword:")).trimmed(), kDwordDigits, &value))
            return false;
        *type = REG_DWORD;
        data->resize(kDwordBytes);
        qToLittleEndian(value, data->data());
        return true;
    }
    if (startsWithNoCase(rest, "hex:")) {
        *type = REG_BINARY;
        return parseHexList(rest.mid(qstrlen("hex:")), data);
    }
    if (startsWithNoCase(rest, "hex(")) {
        const qsizetype close = rest.indexOf("):");
        return close > 0 && parseHexNumber(rest.mid(4, close - 4), kMaxTypeDigits, type) &&
               parseHexList(rest.mid(close + 2), data);
    }
    return false;
}

// Reads the value whose line is lines[*at], with the continuation lines of a
// hex list, and moves *at past them. *deletes tells a `"Name"=-` line.
RegValue readValue(const QList<QByteArray> &lines, qsizetype *at, bool *deletes)
{
    *deletes = false;
    RegValue value;
    const QByteArray &line = lines[*at];
    qsizetype used = 1;
    qsizetype pos = skipBlanks(line, 0);
    bool named = false;
    if (pos < line.size() && line[pos] == '@') {
        named = true;
        ++pos;
    } else if (pos < line.size() && line[pos] == '"') {
        pos = readQuoted(line, pos, &value.name);
        named = pos >= 0;
    }
    pos = named ? skipBlanks(line, pos) : -1;
    if (pos < 0 || pos >= line.size() || line[pos] != '=') {
        value.kind = RegValue::Kind::Junk;
        value.name.clear();
        value.lines = line;
        ++*at;
        return value;
    }

    QByteArray data = line.mid(pos + 1).trimmed();
    if (startsWithNoCase(data, "hex")) {
        // A blank line or a key header ends a cut-off list all the same.
        while (data.endsWith('\\') && *at + used < lines.size() &&
               !lines[*at + used].trimmed().isEmpty() &&
               !lines[*at + used].trimmed().startsWith('[')) {
            data.chop(1);
            data += lines[*at + used].trimmed();
            ++used;
        }
    }
    if (data == "-") {
        *deletes = true;
    } else if (!parseData(data, &value.type, &value.data)) {
        value.kind = RegValue::Kind::Unreadable;
        value.type = REG_NONE;
        value.data.clear();
        value.lines = lines.mid(*at, used).join(kLineEnd);
    }
    *at += used;
    return value;
}

QByteArray hexList(qsizetype column, quint32 type, const QByteArray &data)
{
    QByteArray out =
        type == REG_BINARY ? QByteArray("hex:") : "hex(" + QByteArray::number(type, 16) + "):";
    column += out.size();
    for (qsizetype i = 0; i < data.size(); ++i) {
        out += QByteArray(1, data[i]).toHex();
        if (i + 1 == data.size())
            break;
        out += ',';
        column += 3;
        if (column >= kHexWrapColumn) {
            out += kHexContinuation;
            column = kHexIndent;
        }
    }
    return out;
}

QByteArray valueText(const RegValue &value)
{
    if (value.kind != RegValue::Kind::Data)
        return value.lines;
    const QByteArray head = (value.name.isEmpty() ? QByteArray("@") : quoted(value.name)) + "=";
    if (value.type == REG_SZ && isPlainText(value.data))
        return head + quoted(value.data);
    if (value.type == REG_DWORD && value.data.size() == kDwordBytes) {
        const auto number = qFromLittleEndian<quint32>(value.data.constData());
        return head + "dword:" + QByteArray::number(number, 16).rightJustified(kDwordDigits, '0');
    }
    return head + hexList(head.size(), value.type, value.data);
}

} // namespace

RegValue *RegKey::find(const QByteArray &name)
{
    for (RegValue &value : values) {
        if (value.kind != RegValue::Kind::Junk && sameName(value.name, name))
            return &value;
    }
    return nullptr;
}

void RegKey::set(const QByteArray &name, quint32 type, const QByteArray &data)
{
    RegValue *value = find(name);
    if (!value)
        value = &*values.insert(name.isEmpty() ? values.begin() : values.end(), RegValue{});
    *value = RegValue{RegValue::Kind::Data, name, type, data, {}};
}

RegKey *RegHive::findKey(const QByteArray &path)
{
    for (RegKey &key : keys) {
        if (sameName(key.path, path))
            return &key;
    }
    return nullptr;
}

RegKey &RegHive::createKey(const QByteArray &path)
{
    if (RegKey *key = findKey(path))
        return *key;
    qsizetype at = keys.size();
    const qsizetype cut = lastSeparator(path);
    if (cut > 0) {
        const QByteArray parent = path.left(cut);
        if (lastSeparator(parent) > 0)
            createKey(parent);
        for (qsizetype i = 0; i < keys.size(); ++i) {
            if (isSameOrBelow(keys[i].path, parent))
                at = i + 1;
        }
    }
    return *keys.insert(at, RegKey{path, {}});
}

RegHive RegHive::parse(const QByteArray &text)
{
    RegHive hive;
    QList<QByteArray> lines = text.split('\n');
    for (QByteArray &line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
    }
    qsizetype at = 0;
    if (!lines.isEmpty() && lines.front().trimmed() == kFirstLine)
        ++at;
    else
        hive.damaged = true;

    qsizetype key = -1;        // index of the key that the lines belong to
    bool inDeletedKey = false; // lines under a [-key] header
    // Where each key and each value is, by folded name, so that a file of
    // many keys or values reads in linear time. A value deleted by "=-"
    // becomes a nameless Junk value without lines, a deleted key one without
    // a path; both are removed at the end.
    QHash<QString, qsizetype> keyAt;
    qsizetype deletedKeys = 0;
    QHash<qsizetype, QHash<QString, qsizetype>> valueAt; // built per key when first needed
    const auto valuesOf = [&](qsizetype k) -> QHash<QString, qsizetype> & {
        auto found = valueAt.find(k);
        if (found == valueAt.end()) {
            found = valueAt.insert(k, {});
            const QList<RegValue> &values = hive.keys[k].values;
            for (qsizetype i = values.size() - 1; i >= 0; --i) {
                if (values[i].kind != RegValue::Kind::Junk)
                    found->insert(foldedName(values[i].name), i);
            }
        }
        return *found;
    };
    while (at < lines.size()) {
        const QByteArray line = lines[at].trimmed();
        if (line.isEmpty() || line.startsWith(';')) {
            ++at;
            continue;
        }
        if (line.startsWith('[') && line.endsWith(']') && line.size() > 2) {
            const QByteArray path = line.mid(1, line.size() - 2);
            ++at;
            key = -1;
            inDeletedKey = path.startsWith('-');
            if (inDeletedKey) {
                // Deleted keys lose their path and are removed at the end.
                const QByteArray deleted = path.mid(1);
                for (qsizetype k = 0; k < hive.keys.size(); ++k) {
                    RegKey &below = hive.keys[k];
                    if (!below.path.isEmpty() && isSameOrBelow(below.path, deleted)) {
                        keyAt.remove(foldedName(below.path));
                        valueAt.remove(k);
                        below = RegKey{};
                        ++deletedKeys;
                    }
                }
                // Once half are deleted, they go, so scans stay linear.
                if (deletedKeys * 2 > hive.keys.size()) {
                    hive.keys.removeIf([](const RegKey &k) { return k.path.isEmpty(); });
                    deletedKeys = 0;
                    keyAt.clear();
                    valueAt.clear();
                    for (qsizetype k = 0; k < hive.keys.size(); ++k)
                        keyAt.insert(foldedName(hive.keys[k].path), k);
                }
                continue;
            }
            const QString folded = foldedName(path);
            key = keyAt.value(folded, -1);
            if (key < 0) {
                key = hive.keys.size();
                hive.keys.append(RegKey{path, {}});
                keyAt.insert(folded, key);
            }
            continue;
        }
        if (key < 0) {
            hive.damaged = hive.damaged || !inDeletedKey;
            ++at;
            continue;
        }
        bool deletes = false;
        RegValue value = readValue(lines, &at, &deletes);
        RegKey &into = hive.keys[key];
        if (value.kind == RegValue::Kind::Junk) {
            into.values.append(value);
            continue;
        }
        QHash<QString, qsizetype> &names = valuesOf(key);
        const QString folded = foldedName(value.name);
        const qsizetype old = names.value(folded, -1);
        if (deletes) {
            if (old >= 0) {
                into.values[old] = RegValue{RegValue::Kind::Junk, {}, REG_NONE, {}, {}};
                names.remove(folded);
            }
        } else if (old >= 0) {
            into.values[old] = value;
        } else {
            names.insert(folded, into.values.size());
            into.values.append(value);
        }
    }
    hive.keys.removeIf([](const RegKey &k) { return k.path.isEmpty(); });
    for (RegKey &k : hive.keys) {
        k.values.removeIf(
            [](const RegValue &v) { return v.kind == RegValue::Kind::Junk && v.lines.isEmpty(); });
    }
    return hive;
}

QByteArray RegHive::serialise() const
{
    QByteArray out = QByteArray(kFirstLine) + kLineEnd + kLineEnd;
    for (const RegKey &key : keys) {
        out += "[" + key.path + "]" + kLineEnd;
        for (const RegValue &value : key.values) {
            out += valueText(value) + kLineEnd;
            // A cut-off hex list ends in "\"; the blank line that ended it
            // keeps the next value from being read as its continuation.
            if (value.kind == RegValue::Kind::Unreadable && value.lines.trimmed().endsWith('\\'))
                out += kLineEnd;
        }
        out += kLineEnd;
    }
    return out;
}

HiveFile readHiveFile(const QString &path)
{
    HiveFile result;
    const QFileInfo info(path);
    if (!info.exists())
        return result;
    result.state = HiveFile::State::Unreadable;
    QFile file(path);
    if (!info.isFile() || !file.open(QIODevice::ReadOnly))
        return result;
    QByteArray text;
    if (file.size() <= kMaxHiveFileSize) {
        // In pieces, so that a small file takes a small buffer; bounded even
        // if the size lied.
        constexpr qint64 kPiece = 64 * 1024;
        while (text.size() <= kMaxHiveFileSize) {
            const QByteArray piece = file.read(kPiece);
            if (piece.isEmpty())
                break;
            text += piece;
        }
        if (file.error() != QFileDevice::NoError)
            return result;
    }
    result.state = HiveFile::State::Loaded;
    if (file.size() > kMaxHiveFileSize || text.size() > kMaxHiveFileSize) {
        result.hive.damaged = true;
        result.needsBackup = true;
        return result;
    }
    result.hive = RegHive::parse(text);
    result.needsBackup = result.hive.damaged && !text.isEmpty();
    return result;
}

bool writeHiveFile(const QString &path, const RegHive &hive, bool backupOld)
{
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    if (backupOld) {
        const QString backup = path + ".bak";
        QFile::remove(backup);
        if (!QFile::copy(path, backup))
            return false;
    }
    // Unbuffered, so that a failing write shows here: Qt 6.4's QSaveFile
    // commits anyway when the flush of its buffer fails (a full disk).
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    const QByteArray text = hive.serialise();
    if (file.write(text) != text.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace platform
