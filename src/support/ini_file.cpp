#include "support/ini_file.h"

#include "support/codec_1251.h"
#include "support/str_utils.h"

namespace {

bool isSectionLine(const QString &line, QString *name)
{
    const QString t = Trim(line);
    if (!t.startsWith(QChar('[')))
        return false;
    if (name) {
        qsizetype close = t.indexOf(QChar(']'));
        if (close < 0)
            close = t.size();
        *name = Trim(t.mid(1, close - 1));
    }
    return true;
}

// Splits "key=value"; false for a line without "=".
bool splitKeyLine(const QString &line, QString *key, QString *value)
{
    const qsizetype eq = line.indexOf(QChar('='));
    if (eq < 0)
        return false;
    *key = Trim(line.left(eq));
    if (value)
        *value = line.mid(eq + 1);
    return true;
}

bool sameName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace

IniDocument IniDocument::fromBytes(const QByteArray &bytes)
{
    return IniDocument(SplitLines(Cp1251::decode(bytes)));
}

qsizetype IniDocument::findSection(const QString &section) const
{
    QString name;
    for (qsizetype i = 0; i < lines_.size(); ++i)
        if (isSectionLine(lines_[i], &name) && sameName(name, section))
            return i;
    return -1;
}

qsizetype IniDocument::sectionEnd(qsizetype header) const
{
    qsizetype i = header + 1;
    while (i < lines_.size() && !isSectionLine(lines_[i], nullptr))
        ++i;
    return i;
}

std::optional<QString> IniDocument::value(const QString &section, const QString &key) const
{
    const qsizetype header = findSection(section);
    if (header < 0)
        return std::nullopt;
    const qsizetype end = sectionEnd(header);
    QString k, v;
    for (qsizetype i = header + 1; i < end; ++i) {
        if (splitKeyLine(lines_[i], &k, &v) && sameName(k, key))
            return v.left(kMaxValueLength);
    }
    return std::nullopt;
}

QHash<QString, QString> IniDocument::sectionValues(const QString &section) const
{
    QHash<QString, QString> out;
    const qsizetype header = findSection(section);
    if (header < 0)
        return out;
    const qsizetype end = sectionEnd(header);
    QString k, v;
    for (qsizetype i = header + 1; i < end; ++i) {
        if (splitKeyLine(lines_[i], &k, &v)) {
            k = k.toUpper();
            if (!out.contains(k))
                out.insert(k, v.left(kMaxValueLength));
        }
    }
    return out;
}

void IniDocument::setValue(const QString &section, const QString &key, const QString &value)
{
    const QString line = key + QChar('=') + value;
    const qsizetype header = findSection(section);
    if (header < 0) {
        if (!lines_.isEmpty() && !Trim(lines_.last()).isEmpty())
            lines_.append(QString());
        lines_.append(QChar('[') + section + QChar(']'));
        lines_.append(line);
        return;
    }
    const qsizetype end = sectionEnd(header);
    qsizetype lastContent = header;
    QString k;
    for (qsizetype i = header + 1; i < end; ++i) {
        if (splitKeyLine(lines_[i], &k, nullptr) && sameName(k, key)) {
            lines_[i] = line;
            return;
        }
        if (!Trim(lines_[i]).isEmpty())
            lastContent = i;
    }
    lines_.insert(lastContent + 1, line);
}

QByteArray IniDocument::toBytes() const
{
    return Cp1251::encodeLines(lines_);
}
