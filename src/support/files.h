#pragma once
// Settings files, folders and file names. Every text that names something is
// trimmed first; an empty one makes the routine give up quietly. Writing is
// refused unless a probe file can be created where the write would go.

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <optional>
#include <utility>

class QFileDevice;
class QIODevice;

QString IniReadString(const QString &fileName, const QString &section, const QString &key,
                      const QString &defaultValue, bool trimResult);
// Throws AppError("Unable to write to <file>") when the file cannot be written.
bool IniWriteString(const QString &fileName, const QString &section, const QString &key,
                    const QString &value, bool trimValue);
// Writes several keys of one section in one atomic replacement of the file,
// so that a kill never leaves some of them old and some new. A file above
// kMaxSettingsBytes is no settings file: it is kept aside as "<name>.bak"
// (numbered when taken) and a new one is written.
bool IniWriteSection(const QString &fileName, const QString &section,
                     const QList<std::pair<QString, QString>> &values, bool trimValues);
// Every key of the section, upper-cased, with its value (the first line of a
// key wins), from one read of the file; nullopt when the file is missing.
std::optional<QHash<QString, QString>> IniReadSection(const QString &fileName, const QString &section);
// Settings files are read up to this size: a damaged file of any size never
// holds up the start.
constexpr qint64 kMaxSettingsBytes = 1 << 20;
int IniReadInteger(const QString &fileName, const QString &section, const QString &key,
                   int defaultValue);
// Reads a settings value as an integer: "0x"/"0X" followed by hex digits, or
// a decimal integer; nullopt for anything else.
std::optional<int> ParseIniInteger(const QString &text);

bool IsDriveWritable(const QString &path);
QString UniqueFileName(const QString &fileName);
// Whether the name's last part has an extension (a "." after the last "/").
bool HasExtension(const QString &fileName);
bool ForceDir(const QString &path);
bool MakeDir(const QString &path);

bool FileExists(const QString &fileName);
std::optional<QByteArray> ReadWholeFile(const QString &fileName);
// Replaces the file in one step: the data goes to the temporary file
// TemporaryNameFor(fileName) in the same folder, which is then renamed over
// the old one, so a failure never leaves a half-written file. A temporary file
// that a killed save left behind is removed first. An existing file keeps its
// permissions; a new one is readable and writable by its owner only. On
// failure returns false with the system's reason in *error and the old file
// unchanged.
bool WriteFileAtomically(const QString &fileName, const QByteArray &data, QString *error);
QString TemporaryNameFor(const QString &fileName);
// Gives the finished file `from` the name `to`, replacing a file of that name
// in one step (rename). Where the two lie on different file systems, `from` is
// copied as CopyFileOver does, then removed. On failure returns false with
// the reason in *error; `to` is unchanged and `from` stays where it was.
// *noSpace tells a failure for want of space.
bool MoveFileOver(const QString &from, const QString &to, QString *error, bool *noSpace = nullptr);
// Writes what the open device holds, from where it stands to its end, into
// the file `to`, replacing a file of that name in one step once the copy is
// complete: until then nothing of it has a name in the folder. An existing
// file keeps its permissions, a new one gets the usual ones (the umask's).
// On failure returns false as MoveFileOver does; `to` is unchanged.
bool CopyFileOver(QIODevice &from, const QString &to, QString *error, bool *noSpace = nullptr);
// Whether a write failed for want of space: the disk, or the user's quota,
// is full (errno ENOSPC, EDQUOT).
bool IsNoSpace(int errnoValue);
// How the exports say it: "Недостаточно места на диске: FILE".
QString NoSpaceText(const QString &fileName);
// Called at once after a write to the file failed: whether it failed for want
// of space, and the system's reason in *reason. Qt keeps no reason for a
// write that stopped part way, as one does when the disk fills up (its error
// is then unset or a plain write error, "Unknown error"); errno still has it.
bool WriteFailedForSpace(const QFileDevice &file, QString *reason = nullptr);
// At most maxBytes from the start of the file; nullopt when it cannot be read.
std::optional<QByteArray> ReadFileHead(const QString &fileName, qint64 maxBytes);
