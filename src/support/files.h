#pragma once
// Settings files, folders and file names. Every text that names something is
// trimmed first; an empty one makes the routine give up quietly. Writing is
// refused unless a probe file can be created where the write would go.

#include <QByteArray>
#include <QString>
#include <optional>

QString IniReadString(const QString &fileName, const QString &section, const QString &key,
                      const QString &defaultValue, bool trimResult);
// Throws AppError("Unable to write to <file>") when the file cannot be written.
bool IniWriteString(const QString &fileName, const QString &section, const QString &key,
                    const QString &value, bool trimValue);
int IniReadInteger(const QString &fileName, const QString &section, const QString &key,
                   int defaultValue);
// Reads a settings value as an integer: "0x"/"0X" followed by hex digits, or
// a decimal integer; nullopt for anything else.
std::optional<int> ParseIniInteger(const QString &text);

bool IsDriveWritable(const QString &path);
QString UniqueFileName(const QString &fileName);
bool ForceDir(const QString &path);
bool MakeDir(const QString &path);

bool FileExists(const QString &fileName);
std::optional<QByteArray> ReadWholeFile(const QString &fileName);
// Replaces the file in one step: the data goes to a temporary file in the same
// folder, which is then renamed over the old one, so a failure never leaves a
// half-written file. An existing file keeps its permissions; a new one is
// readable and writable by its owner only. On failure returns false with the
// system's reason in *error and the old file unchanged.
bool WriteFileAtomically(const QString &fileName, const QByteArray &data, QString *error);
