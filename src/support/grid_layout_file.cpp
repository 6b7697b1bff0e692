#include "support/grid_layout_file.h"

#include "support/app_error.h"
#include "support/codec_1251.h"
#include "support/files.h"
#include "support/ini_file.h"
#include "support/str_utils.h"

#include <QHash>
#include <algorithm>

namespace {

const QString kCommon = QStringLiteral("~~~COMMON");
const QString kSignature = QStringLiteral("~9977553311");
const QString kColumnPrefix = QStringLiteral("~~-^v-~COL_");
const QString kColumnHeaderStart = QStringLiteral("[~~-^v-~COL_");

QString columnSection(int c)
{
    return kColumnPrefix + QString::number(c);
}

// Where the lines of a section lie in a file: the section begins after the
// first line that equals "[name]" and ends before the next column header.
class SectionIndex {
public:
    explicit SectionIndex(const QStringList &lines) : lines_(lines)
    {
        for (qsizetype i = 0; i < lines.size(); ++i) {
            if (!lines[i].startsWith(QChar('[')))
                continue;
            if (!firstHeader_.contains(lines[i]))
                firstHeader_.insert(lines[i], i);
            if (lines[i].startsWith(kColumnHeaderStart))
                columnHeaders_.push_back(i);
        }
    }

    // [begin, end) of the section's lines; false when the header is missing
    // or nothing follows it.
    bool find(const QString &name, qsizetype *begin, qsizetype *end) const
    {
        const auto it = firstHeader_.constFind(QChar('[') + name + QChar(']'));
        if (it == firstHeader_.cend())
            return false;
        const qsizetype b = it.value() + 1;
        if (b >= lines_.size())
            return false;
        const auto next = std::lower_bound(columnHeaders_.begin(), columnHeaders_.end(), b);
        *begin = b;
        *end = next == columnHeaders_.end() ? lines_.size() : *next;
        return true;
    }

private:
    const QStringList &lines_;
    QHash<QString, qsizetype> firstHeader_;
    std::vector<qsizetype> columnHeaders_;
};

} // namespace

bool IsStorableGridCell(const QString &text)
{
    return !text.startsWith(kColumnHeaderStart) && !text.contains(QChar('\n')) && !text.contains(QChar('\r'));
}

bool ExtractGridSection(const QString &name, QStringList *lines)
{
    const QString n = Trim(name);
    if (n.isEmpty() || !lines)
        return false;
    qsizetype begin = 0, end = 0;
    const SectionIndex index(*lines);
    if (!index.find(n, &begin, &end)) {
        lines->clear();
        return false;
    }
    *lines = lines->mid(begin, end - begin);
    return true;
}

QStringList GridLayoutLines(const GridLayout &layout, const QString &fileName)
{
    QStringList out;
    out << QChar('[') + kCommon + QChar(']') << QStringLiteral("ItsMe=") + kSignature
        << QStringLiteral("FileName=") + Trim(fileName) << QStringLiteral("FontName=") + layout.fontName
        << QStringLiteral("FontSize=%1").arg(layout.fontSize) << QStringLiteral("ColCount=%1").arg(layout.colCount)
        << QStringLiteral("RowCount=%1").arg(layout.rowCount)
        << QStringLiteral("FixedCols=%1").arg(layout.fixedCols)
        << QStringLiteral("FixedRows=%1").arg(layout.fixedRows)
        << QStringLiteral("DefaultRowHeight=%1").arg(layout.rowCount > 0 ? layout.defaultRowHeight : 0);
    for (int c = 0; c < layout.colCount; ++c) {
        const int width = std::size_t(c) < layout.colWidths.size() ? layout.colWidths[std::size_t(c)] : 0;
        out << QStringLiteral("COL_%1=%2").arg(c).arg(width);
    }
    out << QString();
    for (int c = 0; c < layout.colCount; ++c) {
        out << QChar('[') + columnSection(c) + QChar(']');
        const QStringList column = std::size_t(c) < layout.cells.size() ? layout.cells[std::size_t(c)] : QStringList();
        for (int r = 0; r < layout.rowCount; ++r)
            out << (r < column.size() ? column[r] : QString());
        out << QString();
    }
    return out;
}

void WriteGridLayoutFile(const GridLayout &layout, const QString &fileName)
{
    const QString name = Trim(fileName);
    QString reason;
    if (!WriteFileAtomically(name, Cp1251::encodeLines(GridLayoutLines(layout, name)), &reason))
        throw AppError(QStringLiteral("Cannot create file \"%1\". %2").arg(name, reason));
}

std::optional<GridLayout> ParseGridLayout(const QByteArray &bytes)
{
    const IniDocument doc = IniDocument::fromBytes(bytes);
    const QHash<QString, QString> common = doc.sectionValues(kCommon);
    auto readText = [&common](const QString &key) -> std::optional<QString> {
        const auto it = common.constFind(key.toUpper());
        return it == common.cend() ? std::nullopt : std::optional<QString>(*it);
    };
    if (Trim(readText(QStringLiteral("ItsMe")).value_or(QString())) != kSignature)
        return std::nullopt;
    auto readInt = [&readText](const QString &key, int def) {
        const auto text = readText(key);
        return text ? ParseIniInteger(*text).value_or(def) : def;
    };
    GridLayout layout;
    layout.colCount = readInt(QStringLiteral("ColCount"), 0);
    layout.rowCount = readInt(QStringLiteral("RowCount"), 0);
    layout.fixedCols = readInt(QStringLiteral("FixedCols"), 0);
    layout.fixedRows = readInt(QStringLiteral("FixedRows"), 0);
    layout.defaultRowHeight = readInt(QStringLiteral("DefaultRowHeight"), 0);
    if (layout.colCount <= 0 || layout.rowCount <= 0)
        return std::nullopt;
    if (layout.fixedCols < 0 || layout.fixedRows < 0 || layout.fixedCols >= layout.colCount
        || layout.fixedRows >= layout.rowCount)
        return std::nullopt;
    // A file this program wrote has a line for every cell; more cells than
    // lines come from a damaged or hostile file. Computed in 64 bits, before
    // anything is allocated.
    const qsizetype lineCount = doc.lines().size();
    if (qint64(layout.colCount) * qint64(layout.rowCount) > lineCount)
        return std::nullopt;

    layout.fontName = Trim(readText(QStringLiteral("FontName")).value_or(QString::fromLatin1(GridLayout::kDefaultFontName)));
    layout.fontSize = readInt(QStringLiteral("FontSize"), GridLayout::kDefaultFontSize);
    layout.colWidths.resize(std::size_t(layout.colCount));
    for (int c = 0; c < layout.colCount; ++c)
        layout.colWidths[std::size_t(c)] = std::max(0, readInt(QStringLiteral("COL_%1").arg(c), 0));

    const QStringList &lines = doc.lines();
    const SectionIndex index(lines);
    layout.cells.resize(std::size_t(layout.colCount));
    for (int c = 0; c < layout.colCount; ++c) {
        qsizetype begin = 0, end = 0;
        if (index.find(columnSection(c), &begin, &end))
            layout.cells[std::size_t(c)] = lines.mid(begin, std::min<qsizetype>(end - begin, layout.rowCount));
    }
    return layout;
}

std::optional<GridLayout> ReadGridLayoutFile(const QString &fileName)
{
    const QString name = Trim(fileName);
    if (name.isEmpty() || !FileExists(name))
        return std::nullopt;
    const auto bytes = ReadWholeFile(name);
    if (!bytes)
        return std::nullopt;
    return ParseGridLayout(*bytes);
}
