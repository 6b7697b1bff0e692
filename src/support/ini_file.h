#pragma once
// A settings file in the profile format: "[section]" lines and "key=value"
// lines below them, sections and keys matched without letter case, Windows-1251
// text, CR LF line ends. Other lines are kept as they are when a key is written.

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <optional>

class IniDocument {
public:
    static constexpr int kMaxValueLength = 2047;

    IniDocument() = default;
    explicit IniDocument(const QStringList &lines) : lines_(lines) {}
    static IniDocument fromBytes(const QByteArray &bytes);

    // The value of the key in the first section of that name; nullopt when
    // the section or the key is missing. Values longer than 2047 characters
    // are cut there.
    std::optional<QString> value(const QString &section, const QString &key) const;
    // Every key of the first section of that name, in upper case, with its
    // value; the first line of a key wins.
    QHash<QString, QString> sectionValues(const QString &section) const;
    void setValue(const QString &section, const QString &key, const QString &value);

    const QStringList &lines() const { return lines_; }
    QByteArray toBytes() const;

private:
    // Index of the section's header line, or -1.
    qsizetype findSection(const QString &section) const;
    // One past the last line of the section that starts at header.
    qsizetype sectionEnd(qsizetype header) const;

    QStringList lines_;
};
