#include "support/files.h"

#include "support/app_error.h"
#include "support/ini_file.h"
#include "support/str_utils.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace {

constexpr int kUniqueNameLimit = 999998;

// The folder a write to the path would go to: the path itself when it is a
// folder, else the nearest existing folder above it.
QString nearestExistingFolder(const QString &path)
{
    QFileInfo info(path);
    if (info.isDir())
        return info.absoluteFilePath();
    QString dir = info.absolutePath();
    while (!QFileInfo(dir).isDir()) {
        const QString parent = QFileInfo(dir).absolutePath();
        if (parent == dir)
            return QString();
        dir = parent;
    }
    return dir;
}

} // namespace

bool FileExists(const QString &fileName)
{
    const QFileInfo info(fileName);
    return info.exists() && !info.isDir();
}

std::optional<QByteArray> ReadWholeFile(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.readAll();
}

QString TemporaryNameFor(const QString &fileName)
{
    return fileName + QStringLiteral(".~tmp");
}

bool WriteFileAtomically(const QString &fileName, const QByteArray &data, QString *error)
{
    const QString temp = TemporaryNameFor(fileName);
    // What a save that was killed half-way left behind.
    if (QFileInfo::exists(temp))
        QFile::remove(temp);
    const QFileInfo old(fileName);
    QFile file(temp);
    auto fail = [&](const QString &reason) {
        if (error)
            *error = reason;
        file.close();
        QFile::remove(temp);
        return false;
    };
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return fail(file.errorString());
    file.setPermissions(old.exists() ? old.permissions() : QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    if (file.write(data) != data.size() || !file.flush() || ::fsync(file.handle()) != 0)
        return fail(file.errorString());
    file.close();
    // rename() replaces the old file in one step: a reader sees the old file
    // or the new one, never a mixture, also when the program is killed.
    if (::rename(QFile::encodeName(temp).constData(), QFile::encodeName(fileName).constData()) != 0)
        return fail(QString::fromLocal8Bit(std::strerror(errno)));
    return true;
}

bool HasExtension(const QString &fileName)
{
    return fileName.lastIndexOf(QChar('.')) > fileName.lastIndexOf(QChar('/'));
}

bool IsNoSpace(int errnoValue)
{
    return errnoValue == ENOSPC || errnoValue == EDQUOT;
}

QString NoSpaceText(const QString &fileName)
{
    return QStringLiteral("Недостаточно места на диске: %1").arg(QDir::toNativeSeparators(fileName));
}

bool WriteFailedForSpace(const QFileDevice &file, QString *reason)
{
    const int e = errno;
    if (reason)
        *reason = e != 0 ? QString::fromLocal8Bit(std::strerror(e)) : file.errorString();
    return file.error() == QFileDevice::ResourceError || IsNoSpace(e);
}

namespace {

bool failed(QString *error, bool *noSpace, const QString &reason, bool full = false)
{
    if (error)
        *error = reason;
    if (noSpace)
        *noSpace = full;
    return false;
}

} // namespace

bool CopyFileOver(QIODevice &from, const QString &to, QString *error, bool *noSpace)
{
    // QSaveFile writes a file that has no name until it is complete (or one
    // under a name of its own beside `to`, removed when unfinished).
    QSaveFile out(to);
    QString reason;
    auto writeFailed = [&] {
        const bool full = WriteFailedForSpace(out, &reason);
        return failed(error, noSpace, reason, full);
    };
    if (!out.open(QIODevice::WriteOnly))
        return writeFailed();
    while (!from.atEnd()) {
        const QByteArray chunk = from.read(1 << 20);
        if (chunk.isEmpty())
            return failed(error, noSpace, from.errorString());
        if (out.write(chunk) != chunk.size())
            return writeFailed();
    }
    // Flushed first: a commit that fails has dropped the file and its reason.
    if (!out.flush() || !out.commit())
        return writeFailed();
    return true;
}

bool MoveFileOver(const QString &from, const QString &to, QString *error, bool *noSpace)
{
    if (::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0)
        return true;
    const int e = errno;
    if (e != EXDEV)
        return failed(error, noSpace, QString::fromLocal8Bit(std::strerror(e)), IsNoSpace(e));
    // Another file system: copied, then removed here.
    QFile in(from);
    if (!in.open(QIODevice::ReadOnly))
        return failed(error, noSpace, in.errorString());
    if (!CopyFileOver(in, to, error, noSpace))
        return false;
    in.close();
    QFile::remove(from);
    return true;
}

std::optional<QByteArray> ReadFileHead(const QString &fileName, qint64 maxBytes)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.read(maxBytes);
}

std::optional<QHash<QString, QString>> IniReadSection(const QString &fileName, const QString &section)
{
    const QString file = Trim(fileName);
    const QString sec = Trim(section);
    if (file.isEmpty() || sec.isEmpty() || !FileExists(file))
        return std::nullopt;
    const auto bytes = ReadFileHead(file, kMaxSettingsBytes);
    if (!bytes)
        return std::nullopt;
    return IniDocument::fromBytes(*bytes).sectionValues(sec);
}

QString IniReadString(const QString &fileName, const QString &section, const QString &key,
                      const QString &defaultValue, bool trimResult)
{
    const QString k = Trim(key).toUpper();
    const auto values = k.isEmpty() ? std::nullopt : IniReadSection(fileName, section);
    if (!values)
        return defaultValue;
    const QString value = values->value(k, defaultValue);
    return trimResult ? Trim(value) : value;
}

bool IniWriteString(const QString &fileName, const QString &section, const QString &key,
                    const QString &value, bool trimValue)
{
    return IniWriteSection(fileName, section, {{key, value}}, trimValue);
}

bool IniWriteSection(const QString &fileName, const QString &section,
                     const QList<std::pair<QString, QString>> &values, bool trimValues)
{
    const QString file = Trim(fileName);
    const QString sec = Trim(section);
    if (file.isEmpty() || sec.isEmpty() || values.isEmpty())
        return false;
    for (const auto &kv : values)
        if (Trim(kv.first).isEmpty())
            return false;
    if (!IsDriveWritable(file))
        return false;
    IniDocument doc;
    if (FileExists(file)) {
        if (QFileInfo(file).size() > kMaxSettingsBytes) {
            // Far beyond any settings file: kept aside whole rather than read.
            const QString aside = UniqueFileName(file + QStringLiteral(".bak"));
            if (!QFile::rename(file, aside))
                throw AppError(QStringLiteral("Unable to write to %1").arg(file));
        } else {
            const auto bytes = ReadWholeFile(file);
            if (!bytes)
                throw AppError(QStringLiteral("Unable to write to %1").arg(file));
            doc = IniDocument::fromBytes(*bytes);
        }
    }
    for (const auto &kv : values)
        doc.setValue(sec, Trim(kv.first), trimValues ? Trim(kv.second) : kv.second);
    if (!WriteFileAtomically(file, doc.toBytes(), nullptr))
        throw AppError(QStringLiteral("Unable to write to %1").arg(file));
    return true;
}

std::optional<int> ParseIniInteger(const QString &text)
{
    const QString t = Trim(text);
    bool ok = false;
    int v = 0;
    if (t.size() > 2 && (t.startsWith(QLatin1String("0x")) || t.startsWith(QLatin1String("0X")))) {
        const QString digits = t.mid(2);
        if (digits.startsWith(QChar('+')) || digits.startsWith(QChar('-')))
            return std::nullopt;
        const uint u = digits.toUInt(&ok, 16);
        v = static_cast<int>(u);
    } else {
        v = t.toInt(&ok, 10);
    }
    if (!ok)
        return std::nullopt;
    return v;
}

int IniReadInteger(const QString &fileName, const QString &section, const QString &key,
                   int defaultValue)
{
    const QString text = IniReadString(fileName, section, key, QString(), true);
    return ParseIniInteger(text).value_or(defaultValue);
}

bool IsDriveWritable(const QString &path)
{
    const QString p = Trim(path);
    if (p.isEmpty() || p.startsWith(QChar('\\')))
        return false;
    const QString folder = nearestExistingFolder(p);
    if (folder.isEmpty())
        return false;
    const QString probe = UniqueFileName(QDir(folder).filePath(QStringLiteral("~!789.~~~")));
    QFile file(probe);
    const bool created = file.open(QIODevice::WriteOnly | QIODevice::NewOnly);
    if (created) {
        file.close();
        file.remove();
    }
    return created;
}

QString UniqueFileName(const QString &fileName)
{
    const QString name = Trim(fileName);
    if (name.isEmpty())
        return QString();
    if (!QFileInfo::exists(name))
        return name;
    qsizetype split = -1;
    for (QChar sep : {QChar('/'), QChar('\\'), QChar(':')})
        split = std::max(split, name.lastIndexOf(sep));
    const QString dir = name.left(split + 1);
    const QString file = name.mid(split + 1);
    const qsizetype dot = file.lastIndexOf(QChar('.'));
    const QString base = dot < 0 ? file : file.left(dot);
    const QString ext = dot < 0 ? QString() : file.mid(dot);
    for (int n = 1; n <= kUniqueNameLimit; ++n) {
        const QString candidate = dir + base + QChar('-') + QString::number(n) + ext;
        if (!QFileInfo::exists(candidate))
            return candidate;
    }
    return name;
}

bool ForceDir(const QString &path)
{
    const QString p = Trim(path);
    if (p.isEmpty())
        return false;
    if (QFileInfo(p).isDir())
        return true;
    return QDir().mkpath(p) && QFileInfo(p).isDir();
}

bool MakeDir(const QString &path)
{
    return IsDriveWritable(path) && ForceDir(path);
}
