#include "support/grid_layout_file.h"

#include "support/app_error.h"
#include "support/codec_1251.h"
#include "support/files.h"
#include "support/ini_file.h"
#include "support/str_utils.h"
#include "support/string_grid.h"

#include <QCoreApplication>
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
        const qsizetype e = next == columnHeaders_.end() ? lines_.size() : *next;
        *begin = b;
        *end = e;
        return true;
    }

private:
    const QStringList &lines_;
    QHash<QString, qsizetype> firstHeader_;
    std::vector<qsizetype> columnHeaders_;
};

} // namespace

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

QStringList GridLayoutLines(const StringGrid &grid, const QString &fileName)
{
    QStringList out;
    out << QChar('[') + kCommon + QChar(']') << QStringLiteral("ItsMe=") + kSignature
        << QStringLiteral("FileName=") + Trim(fileName)
        << QStringLiteral("FontName=") + grid.fontName()
        << QStringLiteral("FontSize=%1").arg(grid.fontSize())
        << QStringLiteral("ColCount=%1").arg(grid.colCount())
        << QStringLiteral("RowCount=%1").arg(grid.rowCount())
        << QStringLiteral("FixedCols=%1").arg(grid.fixedCols())
        << QStringLiteral("FixedRows=%1").arg(grid.fixedRows())
        << QStringLiteral("DefaultRowHeight=%1").arg(grid.rowCount() > 0 ? grid.defaultRowHeight() : 0);
    for (int c = 0; c < grid.colCount(); ++c)
        out << QStringLiteral("COL_%1=%2").arg(c).arg(grid.colWidth(c));
    out << QString();
    for (int c = 0; c < grid.colCount(); ++c) {
        out << QChar('[') + columnSection(c) + QChar(']');
        out << grid.colTexts(c);
        out << QString();
        QCoreApplication::processEvents();
    }
    return out;
}

bool GridSaveToFile(StringGrid *grid, const QString &fileName, bool overwrite)
{
    if (!grid)
        return false;
    const QString name = Trim(fileName);
    if (name.isEmpty())
        return false;
    if (FileExists(name) && !overwrite)
        return false;
    const QStringList lines = GridLayoutLines(*grid, name);
    QByteArray data;
    for (const QString &line : lines) {
        data += Cp1251::encode(line);
        data += "\r\n";
    }
    QString reason;
    if (!WriteFileAtomically(name, data, &reason))
        throw AppError(QStringLiteral("Cannot create file \"%1\". %2").arg(name, reason));
    return true;
}

bool GridLoadFromFile(StringGrid *grid, const QString &fileName)
{
    if (!grid)
        return false;
    const QString name = Trim(fileName);
    if (name.isEmpty() || !FileExists(name))
        return false;
    const auto bytes = ReadWholeFile(name);
    if (!bytes)
        return false;
    const IniDocument doc = IniDocument::fromBytes(*bytes);
    const QHash<QString, QString> common = doc.sectionValues(kCommon);
    auto readText = [&common](const QString &key) -> std::optional<QString> {
        const auto it = common.constFind(key.toUpper());
        return it == common.cend() ? std::nullopt : std::optional<QString>(*it);
    };
    if (Trim(readText(QStringLiteral("ItsMe")).value_or(QString())) != kSignature)
        return false;
    auto readInt = [&readText](const QString &key, int def) {
        const auto text = readText(key);
        return text ? ParseIniInteger(*text).value_or(def) : def;
    };
    const int cols = readInt(QStringLiteral("ColCount"), 0);
    const int rows = readInt(QStringLiteral("RowCount"), 0);
    const int rowHeight = readInt(QStringLiteral("DefaultRowHeight"), 0);
    const int fixedCols = readInt(QStringLiteral("FixedCols"), 0);
    const int fixedRows = readInt(QStringLiteral("FixedRows"), 0);
    if (cols <= 0 || rows <= 0)
        return false;
    // A file this program wrote has a line for every column width and every
    // cell; counts beyond the file's length come from a damaged file.
    const qsizetype lineCount = doc.lines().size();
    if (cols > lineCount || rows > lineCount)
        return false;
    if (fixedCols < 0 || fixedRows < 0 || fixedCols >= cols || fixedRows >= rows)
        return false;

    grid->setColCount(cols);
    grid->setRowCount(rows);
    grid->setFixedCols(fixedCols);
    grid->setFixedRows(fixedRows);
    grid->setFontName(Trim(readText(QStringLiteral("FontName"))
                               .value_or(QString::fromLatin1(StringGrid::kDefaultFontName))));
    grid->setFontSize(readInt(QStringLiteral("FontSize"), StringGrid::kDefaultFontSize));
    for (int c = 0; c < cols; ++c) {
        const int width = readInt(QStringLiteral("COL_%1").arg(c), 0);
        if (width > 0)
            grid->setColWidth(c, width);
    }
    if (rowHeight > 0)
        grid->setDefaultRowHeight(rowHeight);

    const QStringList &lines = doc.lines();
    const SectionIndex index(lines);
    for (int c = 0; c < cols; ++c) {
        qsizetype begin = 0, end = 0;
        if (!index.find(columnSection(c), &begin, &end))
            continue;
        grid->setColTexts(c, lines.mid(begin, std::min<qsizetype>(end - begin, rows)));
        QCoreApplication::processEvents();
    }
    return true;
}
