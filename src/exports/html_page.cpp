#include "exports/html_page.h"

#include "support/app_error.h"
#include "support/codec_1251.h"
#include "support/files.h"
#include "support/str_utils.h"

#include <QFileDevice>
#include <algorithm>

namespace {

const QString kHeading[] = {
    QStringLiteral("<html>"),
    QStringLiteral("<head>"),
    QStringLiteral("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1251\">"),
    QStringLiteral("<meta name=\"GENERATOR\" content=\"VRKX_Query.exe\">"),
    QStringLiteral("<meta name=\"ProgId\" content=\"FrontPage.Editor.Document\">"),
    QStringLiteral("<META http-equiv=keywords content=\"\">"),
    QStringLiteral("<title>VeldaRunKX_Query_Result</title>"),
    QStringLiteral("</head>"),
    QStringLiteral("<body bgcolor=White link=#006666 vlink=#006666 alink=#ffcc66 topmargin=10 leftmargin=20 "
                   "marginwidth=0 marginheight=0>"),
    QStringLiteral("<p ONMOUSEOVER=\"this.style.backgroundColor = 'aqua';\""),
    QStringLiteral("      ONMOUSEOUT=\"this.style.backgroundColor = '';\">"),
    QStringLiteral("<font size=\"2\" color=\"silver\"><a href=\"https://vrkx-query.example.org/\" "
                   "target=\"_blank\"><i>Результат выборки данных из информ.хранилиша VeldaRunKX</i></a></font>"),
    QStringLiteral("</p>"),
    QStringLiteral("<p><b>"),
    QStringLiteral("<font color=\"#ff0000\" style=\"FONT-SIZE: 17pt\">V</font>"),
    QStringLiteral("<font color=\"black\" style=\"FONT-SIZE: 17pt\">elda</font>"),
    QStringLiteral("<font color=\"#ff0000\" style=\"FONT-SIZE: 17pt\">R</font>"),
    QStringLiteral("<font color=\"black\" style=\"FONT-SIZE: 17pt\">un</font>"),
    QStringLiteral("<font color=\"#ff0000\" style=\"FONT-SIZE: 17pt\">KX</font>"),
    QStringLiteral("</b></p>"),
    QStringLiteral("<hr>"),
    QString(),
    QString(),
    QStringLiteral("<p><font size=\"3\"><b>Результат отбора Объектов(Процессов)</b></font></p>"),
    QStringLiteral("<div align=\"left\">"),
    QStringLiteral("  <table border=\"1\" cellpadding=\"0\" cellspacing=\"0\" style=\"font-size: 12px\">"),
    QStringLiteral("    <tr>"),
};

const QString kRowOpen = QStringLiteral("    <tr>");
const QString kRowClose = QStringLiteral("    </tr>");
const QString kCellClose = QStringLiteral("</td>");
const QString kEmptyValue = QStringLiteral("&nbsp;");
const QString kRowColour[2] = {QStringLiteral("#EFFFEF"), QStringLiteral("#FFFFE1")};

// Bytes gathered before they go to the device.
constexpr qsizetype kBufferBytes = 64 * 1024;

bool isCentred(const QString &upperName)
{
    return upperName == QLatin1String("ITS_BASE") || upperName == QLatin1String("ITS_ABSTRACT") ||
           upperName == QLatin1String("ITS_GLOBAL") || upperName == QLatin1String("ID_KIND");
}

// Control characters other than tab, line feed and carriage return have
// no place in a page: each is written as "?".
bool needsEscape(QChar c)
{
    const char16_t u = c.unicode();
    return u == '&' || u == '<' || u == '>' || u == '"' || u == 0x7F || (u < 0x20 && u != '\t' && u != '\n' && u != '\r');
}

void appendEscaped(QString &out, const QString &text)
{
    // Most values hold nothing to escape: taken whole.
    if (std::none_of(text.cbegin(), text.cend(), needsEscape)) {
        out += text;
        return;
    }
    for (QChar c : text) {
        switch (c.unicode()) {
        case '&': out += QLatin1String("&amp;"); break;
        case '<': out += QLatin1String("&lt;"); break;
        case '>': out += QLatin1String("&gt;"); break;
        case '"': out += QLatin1String("&quot;"); break;
        case '\t': case '\n': case '\r': out += c; break;
        default: out += c.unicode() < 0x20 || c.unicode() == 0x7F ? QChar('?') : c;
        }
    }
}

[[noreturn]] void cannotWrite(const QIODevice &out)
{
    // A full disk is said as such, with the file where it showed.
    QString reason = out.errorString();
    if (const auto *file = qobject_cast<const QFileDevice *>(&out)) {
        if (WriteFailedForSpace(*file, &reason) && !file->fileName().isEmpty())
            throw AppError(NoSpaceText(file->fileName()));
    }
    throw AppError(QStringLiteral("Ошибка записи HTML-страницы: ") + reason);
}

} // namespace

QString HtmlEscape(const QString &text)
{
    QString out;
    out.reserve(text.size());
    appendEscaped(out, text);
    return out;
}

HtmlPageWriter::HtmlPageWriter(QIODevice &out) : out_(out)
{
    buffer_.reserve(kBufferBytes + 4096);
}

void HtmlPageWriter::begin(const std::vector<HtmlColumn> &columns)
{
    for (const QString &text : kHeading)
        line(text);
    for (const HtmlColumn &c : columns)
        line(QStringLiteral("      <td align=\"center\" bgcolor=\"#FFFF00\"><b>") + HtmlEscape(c.label) +
             QStringLiteral("</b></td>"));
    line(kRowClose);
    for (int parity = 0; parity < 2; ++parity) {
        cellOpen_[parity].clear();
        for (const HtmlColumn &c : columns) {
            const QString upper = c.name.toUpper();
            cellOpen_[parity].push_back(QStringLiteral("      <td align=\"") +
                                        (isCentred(upper) ? QStringLiteral("center") : QStringLiteral("left")) +
                                        QStringLiteral("\" bgcolor=\"") + kRowColour[parity] + QStringLiteral("\" ") +
                                        (upper.startsWith(QLatin1String("ID_")) ? QStringLiteral("nowrap") : QString()) +
                                        QStringLiteral(" >"));
        }
    }
}

void HtmlPageWriter::writeRow(const QStringList &values)
{
    const std::vector<QString> &open = cellOpen_[rows_ % 2];
    row_.resize(0);
    row_ += kRowOpen;
    row_ += QLatin1String("\r\n");
    for (std::size_t k = 0; k < open.size(); ++k) {
        row_ += open[k];
        const QString value = k < std::size_t(values.size()) ? Trim(values[qsizetype(k)]) : QString();
        if (value.isEmpty())
            row_ += kEmptyValue;
        else
            appendEscaped(row_, value);
        row_ += kCellClose;
        row_ += QLatin1String("\r\n");
    }
    row_ += kRowClose;
    row_ += QLatin1String("\r\n");
    Cp1251::encodeAppend(buffer_, row_);
    ++rows_;
    flush(kBufferBytes);
}

void HtmlPageWriter::end()
{
    line(QStringLiteral("  </table>"));
    line(QStringLiteral("</div>"));
    for (int i = 0; i < 9; ++i)
        line(QStringLiteral("<p>&nbsp;</p>"));
    line(QString());
    line(QStringLiteral("<font size=\"1\" color=\"silver\">__________________________</font>"));
    line(QStringLiteral("<br>"));
    line(QStringLiteral("<font size=\"1\" color=\"silver\"><i>Страница составлена генератором запросов "
                        "VRKX_Query.</i>"));
    line(QStringLiteral("</p>"));
    line(QString());
    line(QStringLiteral("</body>"));
    line(QStringLiteral("</html>"));
    flush(1);
    // A file keeps small writes in its own buffer: a full disk shows here.
    if (auto *file = qobject_cast<QFileDevice *>(&out_); file && !file->flush())
        cannotWrite(*file);
}

void HtmlPageWriter::line(const QString &text)
{
    Cp1251::encodeAppend(buffer_, text);
    buffer_ += "\r\n";
    flush(kBufferBytes);
}

void HtmlPageWriter::flush(qsizetype atLeast)
{
    if (buffer_.size() < atLeast)
        return;
    if (out_.write(buffer_) != buffer_.size())
        cannotWrite(out_);
    buffer_.resize(0);
}
