#include "exports/xlsx_backend.h"

#include "exports/excel.h"
#include "exports/save_watch.h"
#include "exports/sheet_text.h"
#include "exports/work_folder.h"
#include "exports/zip_level.h"
#include "support/app_error.h"
#include "support/files.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <xlsxwriter.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// 0x00BBGGRR, as the automation interface gives colours, to 0xRRGGBB.
lxw_color_t rgb(qint64 bgr)
{
    const auto v = quint32(bgr);
    const lxw_color_t color = ((v & 0xFF) << 16) | (v & 0xFF00) | ((v >> 16) & 0xFF);
    return color == 0 ? lxw_color_t(LXW_COLOR_BLACK) : color; // 0 would mean "no colour set"
}

// Horizontal alignment codes: 1 general, 2 left, 3 centre, 4 right, 5 fill,
// 6 justify, 7 centre across the selection, and the named constants.
uint8_t horizontal(int code)
{
    switch (code) {
    case 2: case -4131: return LXW_ALIGN_LEFT;
    case 3: case -4108: return LXW_ALIGN_CENTER;
    case 4: case -4152: return LXW_ALIGN_RIGHT;
    case 5: return LXW_ALIGN_FILL;
    case 6: case -4130: return LXW_ALIGN_JUSTIFY;
    case 7: return LXW_ALIGN_CENTER_ACROSS;
    default: return LXW_ALIGN_NONE;
    }
}

// Vertical alignment codes: 1 top, 2 centre, 3 bottom, 4 justify.
uint8_t vertical(int code)
{
    switch (code) {
    case 1: case -4160: return LXW_ALIGN_VERTICAL_TOP;
    case 2: case -4108: return LXW_ALIGN_VERTICAL_CENTER;
    case 3: case -4107: return LXW_ALIGN_VERTICAL_BOTTOM;
    case 4: case -4130: return LXW_ALIGN_VERTICAL_JUSTIFY;
    default: return LXW_ALIGN_NONE;
    }
}

// Line style 1 (continuous) by weight: 1 hairline, 2 thin, 3 thick, -4138 medium.
uint8_t border(int style, int weight)
{
    if (style == 0 || style == -4142)
        return LXW_BORDER_NONE;
    if (style == 1) {
        switch (weight) {
        case 1: return LXW_BORDER_HAIR;
        case 3: return LXW_BORDER_THICK;
        case -4138: return LXW_BORDER_MEDIUM;
        default: return LXW_BORDER_THIN;
        }
    }
    switch (style) {
    case -4115: return LXW_BORDER_DASHED;
    case -4118: return LXW_BORDER_DOTTED;
    case -4119: return LXW_BORDER_DOUBLE;
    default: return LXW_BORDER_THIN;
    }
}

// The process's file creation mask, read without changing it.
mode_t processUmask()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly)) {
        for (QByteArray line = status.readLine(); !line.isEmpty(); line = status.readLine())
            if (line.startsWith("Umask:"))
                return mode_t(line.mid(6).trimmed().toUInt(nullptr, 8));
    }
    return 022;
}

} // namespace

bool XlsxBackend::Look::operator==(const Look &o) const
{
    return hAlign == o.hAlign && vAlign == o.vAlign && wrap == o.wrap && fontColor == o.fontColor
           && fontSize == o.fontSize && bold == o.bold && italic == o.italic
           && std::memcmp(borderStyle, o.borderStyle, sizeof borderStyle) == 0
           && std::memcmp(borderWeight, o.borderWeight, sizeof borderWeight) == 0 && interior == o.interior
           && numFormat == o.numFormat;
}

XlsxBackend::XlsxBackend() = default;

XlsxBackend::~XlsxBackend()
{
    discard();
}

void XlsxBackend::addWorkbook()
{
    discard();
    // Said now rather than when the last row is written and every save fails.
    if (QString reason; !MinizipCallFound(&reason))
        throw AppError(QStringLiteral("Не удалось начать книгу: %1").arg(reason));
    work_ = WorkFolder::make();
    file_ = work_->filePath(QStringLiteral("VRKX_Query_Result.xlsx"));
    // Made for the user alone: the workbook library writes into it as it is.
    const int fd = ::open(QFile::encodeName(file_).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0)
        throw AppError(QStringLiteral("Не удалось создать книгу %1: %2")
                           .arg(QDir::toNativeSeparators(file_), QString::fromLocal8Bit(std::strerror(errno))));
    ::close(fd);
    const QByteArray tmpdir = QFile::encodeName(work_->path());
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    options.tmpdir = const_cast<char *>(tmpdir.constData());
    options.use_zip64 = LXW_TRUE;
    workbook_ = workbook_new_opt(QFile::encodeName(file_).constData(), &options);
    if (!workbook_)
        throw AppError(QStringLiteral("Не удалось создать книгу %1").arg(file_));
    layout_ = Layout();
    changedValues_ = 0;
    written_ = 0;
    closing_ = false;
    failure_.clear();
    writer_ = std::thread([this] { writerLoop(); });
}

lxw_worksheet *XlsxBackend::worksheet()
{
    // Made when first written to: a sheet's name is given when it is made.
    if (!sheet_) {
        sheet_ = workbook_add_worksheet(workbook_, layout_.name.toUtf8().constData());
        if (!sheet_)
            throw AppError(AutomationError(QStringLiteral("недопустимое имя листа \"%1\"").arg(layout_.name)));
        // The sheet's rows go to a temporary file: written in large blocks.
        if (sheet_->optimize_tmpfile)
            std::setvbuf(sheet_->optimize_tmpfile, nullptr, _IOFBF, 1 << 20);
    }
    return sheet_;
}

void XlsxBackend::writerLoop()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        queued_.wait(lock, [this] { return closing_ || queue_.size() >= kBatchRows; });
        if (queue_.empty())
            return; // closing, and every row is written
        // The rows waiting are taken together: one hand-over for a batch.
        std::deque<std::pair<int, Row>> batch;
        batch.swap(queue_);
        lock.unlock();
        QString error;
        for (auto &[row, cells] : batch) {
            try {
                if (error.isEmpty())
                    writeRow(row, cells);
            } catch (const std::exception &e) {
                error = ErrorText(e);
            }
            for (Cell &c : cells)
                c = Cell();
        }
        lock.lock();
        if (!error.isEmpty() && failure_.isEmpty())
            failure_ = error;
        for (auto &entry : batch)
            spare_.push_back(std::move(entry.second));
        taken_.notify_one();
    }
}

void XlsxBackend::stopWriter()
{
    if (!writer_.joinable())
        return;
    {
        std::lock_guard lock(mutex_);
        closing_ = true;
    }
    queued_.notify_one();
    writer_.join();
}

void XlsxBackend::freeWorkbook()
{
    // Closing a workbook would write and compress it whole. Dropped, it is
    // freed as it stands; the sheet's temporary row file is closed here (the
    // workbook's free leaves it open).
    lxw_workbook *book = std::exchange(workbook_, nullptr);
    if (sheet_ && sheet_->optimize_tmpfile) {
        std::fclose(sheet_->optimize_tmpfile);
        sheet_->optimize_tmpfile = nullptr;
    }
    sheet_ = nullptr;
    lxw_workbook_free(book);
}

XlsxBackend::Cell &XlsxBackend::cell(int row, int col)
{
    auto it = pending_.find(row);
    if (it == pending_.end()) {
        // A row's cells are reused from rows already written.
        Row fresh;
        std::lock_guard lock(mutex_);
        if (!spare_.empty()) {
            fresh = std::move(spare_.back());
            spare_.pop_back();
        }
        it = pending_.emplace(row, std::move(fresh)).first;
    }
    Row &r = it->second;
    if (int(r.size()) <= col)
        r.resize(std::size_t(col) + 1);
    return r[std::size_t(col)];
}

namespace {

void checkOnSheet(const CellRect &cells)
{
    if (cells.row1 < 1 || cells.col1 < 1 || cells.row2 > kSheetRows || cells.col2 > kSheetColumns
        || cells.row1 > cells.row2 || cells.col1 > cells.col2)
        throw AppError(AutomationError(QStringLiteral("ячейки вне листа")));
}

} // namespace

void XlsxBackend::callCells(const CellRect &cells, const QString &method)
{
    if (!workbook_ || cells.sheet != 1)
        return;
    checkOnSheet(cells);
    if (method == QLatin1String("AutoFilter"))
        layout_.filter = cells;
}

void XlsxBackend::setSheet(int sheet, const QString &property, const QVariant &value)
{
    if (!workbook_ || sheet != 1)
        return;
    Layout &l = layout_;
    if (property == QLatin1String("Name")) {
        if (sheet_ && value.toString() != l.name)
            throw AppError(AutomationError(QStringLiteral("лист переименовывают до записи в него")));
        l.name = value.toString();
    } else if (property == QLatin1String("Window.SplitRow")) {
        l.splitRow = value.toInt();
    } else if (property == QLatin1String("Window.SplitColumn")) {
        l.splitColumn = value.toInt();
    } else if (property == QLatin1String("Window.FreezePanes")) {
        l.frozen = value.toBool();
    } else if (property == QLatin1String("PageSetup.Orientation")) {
        l.landscape = value.toInt() == 2; // xlLandscape
    } else if (property == QLatin1String("PageSetup.Zoom")) {
        l.zoom = value.userType() == QMetaType::Bool ? 0 : value.toInt(); // false: fitted to pages
    } else if (property == QLatin1String("PageSetup.FitToPagesWide")) {
        l.fitWide = value.userType() == QMetaType::Bool ? 0 : value.toInt();
    } else if (property == QLatin1String("PageSetup.FitToPagesTall")) {
        l.fitTall = value.userType() == QMetaType::Bool ? 0 : value.toInt();
    }
}

void XlsxBackend::applyLayout()
{
    lxw_worksheet *ws = worksheet();
    const Layout &l = layout_;
    for (const auto &[col, width] : l.widths)
        worksheet_set_column(ws, lxw_col_t(col - 1), lxw_col_t(col - 1), width, nullptr);
    if (l.frozen && (l.splitRow > 0 || l.splitColumn > 0))
        worksheet_freeze_panes(ws, lxw_row_t(std::max(l.splitRow, 0)), lxw_col_t(std::max(l.splitColumn, 0)));
    if (l.filter.row1 > 0)
        worksheet_autofilter(ws, lxw_row_t(l.filter.row1 - 1), lxw_col_t(l.filter.col1 - 1),
                             lxw_row_t(l.filter.row2 - 1), lxw_col_t(l.filter.col2 - 1));
    if (l.landscape)
        worksheet_set_landscape(ws);
    if (l.fitWide >= 0 || l.fitTall >= 0)
        worksheet_fit_to_pages(ws, uint16_t(std::max(l.fitWide, 0)), uint16_t(std::max(l.fitTall, 0)));
    else if (l.zoom >= 10 && l.zoom <= 400)
        worksheet_set_print_scale(ws, uint16_t(l.zoom));
}

void XlsxBackend::setCells(const CellRect &cells, const QString &property, const QVariant &value)
{
    if (!workbook_ || cells.sheet != 1)
        return;
    checkOnSheet(cells);
    if (property == QLatin1String("ColumnWidth")) {
        // Of whole columns, whatever rows are written already.
        for (int c = cells.col1; c <= cells.col2; ++c)
            layout_.widths[c] = std::clamp(value.toDouble(), 0.0, 255.0);
        return;
    }
    worksheet();
    if (cells.row1 <= written_)
        throw AppError(AutomationError(QStringLiteral("строка %1 уже записана").arg(cells.row1)));
    // Rows above the first one touched are complete: written now.
    flushBefore(cells.row1);
    const bool array = property == QLatin1String("Value") && value.userType() == QMetaType::QVariantList;
    const QVariantList values = array ? value.toList() : QVariantList();
    int k = 0;
    for (int r = cells.row1; r <= cells.row2; ++r) {
        for (int c = cells.col1; c <= cells.col2; ++c, ++k) {
            Cell &x = cell(r, c);
            x.used = true;
            Look &l = x.look;
            if (property == QLatin1String("Value"))
                x.value = array ? values.value(k) : value;
            else if (property == QLatin1String("HorizontalAlignment"))
                l.hAlign = value.toInt();
            else if (property == QLatin1String("VerticalAlignment"))
                l.vAlign = value.toInt();
            else if (property == QLatin1String("WrapText"))
                l.wrap = value.toBool();
            else if (property == QLatin1String("Font.Color"))
                l.fontColor = value.toLongLong();
            else if (property == QLatin1String("Font.Size"))
                l.fontSize = value.toDouble();
            else if (property == QLatin1String("Font.Bold"))
                l.bold = value.toBool();
            else if (property == QLatin1String("Font.Italic"))
                l.italic = value.toBool();
            else if (property == QLatin1String("Interior.Color"))
                l.interior = value.toLongLong();
            else if (property.startsWith(QLatin1String("Borders("))) {
                const int n = property.mid(8, property.indexOf(QChar(')')) - 8).toInt();
                if (n >= 1 && n <= 4) {
                    if (property.endsWith(QLatin1String("LineStyle")))
                        l.borderStyle[n] = value.toInt();
                    else
                        l.borderWeight[n] = value.toInt();
                }
            }
        }
    }
}

void XlsxBackend::flushBefore(int row)
{
    while (!pending_.empty() && pending_.begin()->first < row) {
        {
            // At most kQueueRows rows wait for the writer: memory stays flat.
            std::unique_lock lock(mutex_);
            taken_.wait(lock, [this] { return queue_.size() < kQueueRows || !failure_.isEmpty(); });
            if (!failure_.isEmpty())
                throw AppError(failure_);
            queue_.emplace_back(pending_.begin()->first, std::move(pending_.begin()->second));
            if (queue_.size() == kBatchRows)
                queued_.notify_one();
        }
        written_ = pending_.begin()->first;
        pending_.erase(pending_.begin());
    }
}

lxw_format *XlsxBackend::format(const Look &look)
{
    static const Look plain;
    if (look == plain)
        return nullptr;
    for (const auto &[l, f] : formats_)
        if (l == look)
            return f;
    lxw_format *f = workbook_add_format(workbook_);
    if (uint8_t h = horizontal(look.hAlign))
        format_set_align(f, h);
    if (uint8_t v = vertical(look.vAlign))
        format_set_align(f, v);
    if (look.wrap)
        format_set_text_wrap(f);
    if (look.fontColor >= 0)
        format_set_font_color(f, rgb(look.fontColor));
    if (look.fontSize > 0)
        format_set_font_size(f, look.fontSize);
    if (look.bold)
        format_set_bold(f);
    if (look.italic)
        format_set_italic(f);
    // Border numbers: 1 left, 2 right, 3 top, 4 bottom.
    void (*const sides[5])(lxw_format *, uint8_t) = {nullptr, format_set_left, format_set_right, format_set_top,
                                                     format_set_bottom};
    for (int n = 1; n <= 4; ++n)
        if (look.borderStyle[n] != 0)
            sides[n](f, border(look.borderStyle[n], look.borderWeight[n]));
    if (look.interior >= 0 && look.interior != NO_INTERIOR_COLOR) {
        format_set_pattern(f, LXW_PATTERN_SOLID);
        format_set_bg_color(f, rgb(look.interior));
    }
    if (look.numFormat == 1)
        format_set_num_format(f, "dd.mm.yyyy");
    else if (look.numFormat == 2)
        format_set_num_format(f, "dd.mm.yyyy hh:mm:ss");
    formats_.emplace_back(look, f);
    return f;
}

void XlsxBackend::writeRow(int row, const Row &cells)
{
    const lxw_row_t r = lxw_row_t(row - 1);
    for (std::size_t c = 1; c < cells.size(); ++c) {
        const Cell &x = cells[c];
        if (!x.used)
            continue;
        const lxw_col_t col = lxw_col_t(c - 1);
        const QVariant &v = x.value;
        lxw_error error = LXW_NO_ERROR;
        switch (v.userType()) {
        case QMetaType::QString: {
            const QString s = v.toString();
            // A leading apostrophe makes the rest text, whatever it looks like.
            bool changed = false;
            utf8_ = SheetText(s.startsWith(QChar('\'')) ? s.mid(1) : s, &changed).toUtf8();
            if (changed)
                ++changedValues_;
            error = worksheet_write_string(sheet_, r, col, utf8_.constData(), format(x.look));
            break;
        }
        case QMetaType::Bool:
            error = worksheet_write_boolean(sheet_, r, col, v.toBool(), format(x.look));
            break;
        case QMetaType::Int:
        case QMetaType::LongLong:
        case QMetaType::Double:
        case QMetaType::UInt:
        case QMetaType::ULongLong:
            error = worksheet_write_number(sheet_, r, col, v.toDouble(), format(x.look));
            break;
        case QMetaType::QDateTime:
        case QMetaType::QDate: {
            const QDateTime dt = v.userType() == QMetaType::QDate ? QDateTime(v.toDate(), QTime(0, 0)) : v.toDateTime();
            Look look = x.look;
            if (dt.date().year() < 1900 || dt.date().year() > 9999) {
                // Before the spreadsheet's calendar: the date as text.
                utf8_ = dt.toString(QStringLiteral("dd.MM.yyyy")).toUtf8();
                error = worksheet_write_string(sheet_, r, col, utf8_.constData(), format(look));
                break;
            }
            look.numFormat = dt.time() == QTime(0, 0) ? 1 : 2;
            lxw_datetime when{dt.date().year(), dt.date().month(), dt.date().day(), dt.time().hour(),
                              dt.time().minute(), double(dt.time().second()) + dt.time().msec() / 1000.0};
            error = worksheet_write_datetime(sheet_, r, col, &when, format(look));
            break;
        }
        default: // empty: only the look, when there is one
            if (lxw_format *f = format(x.look))
                error = worksheet_write_blank(sheet_, r, col, f);
            break;
        }
        if (error != LXW_NO_ERROR)
            throw AppError(AutomationError(QString::fromUtf8(lxw_strerror(error))));
    }
}

void XlsxBackend::save(const QString &fileName)
{
    finish();
    moveTo(fileName);
    discard();
}

QString XlsxBackend::finish(SaveWatch *watch)
{
    if (!workbook_)
        throw AppError(AutomationError(QStringLiteral("нет книги")));
    flushBefore(kSheetRows + 1);
    stopWriter(); // writes what still waits
    // The unfinished book goes with its folder. A full disk is said as such,
    // naming the file that did not fit.
    const auto failed = [&](const QString &reason, const QString &noSpaceIn = QString()) {
        const QString name = QDir::toNativeSeparators(file_);
        work_.reset();
        return AppError(!noSpaceIn.isEmpty() ? NoSpaceText(noSpaceIn)
                                             : QStringLiteral("Не удалось записать книгу %1: %2").arg(name, reason));
    };
    if (!failure_.isEmpty()) {
        freeWorkbook();
        throw failed(failure_);
    }
    applyLayout();
    // The sheet's rows wait in a temporary file that the workbook library
    // writes without looking back: a row it could not write would be missing
    // from the book without a word.
    std::FILE *rows = sheet_->optimize_tmpfile;
    if (rows && (std::fflush(rows) != 0 || std::ferror(rows))) {
        const int e = errno;
        freeWorkbook();
        throw failed(QStringLiteral("строки листа не записаны во временный файл в %1").arg(work_->path()),
                     IsNoSpace(e) ? file_ : QString());
    }
    if (watch && rows) // the sheet's part is nearly all of the book
        watch->total = std::ftell(rows) + (64 << 10);
    lxw_workbook *book = std::exchange(workbook_, nullptr);
    sheet_ = nullptr;
    lxw_error error;
    int closeErrno = 0;
    {
        FastZipLevel fast;
        ZipWatch watched(watch);
        errno = 0;
        error = workbook_close(book);
        closeErrno = errno;
    }
    if (watch && watch->stop) {
        work_.reset(); // stopped: nothing of it stays
        return QString();
    }
    if (error != LXW_NO_ERROR)
        throw failed(QString::fromUtf8(lxw_strerror(error)), IsNoSpace(closeErrno) ? file_ : QString());
    return file_;
}

bool XlsxBackend::moveTo(const QString &fileName, SaveWatch *watch)
{
    if (!work_ || !QFile::exists(file_))
        throw AppError(AutomationError(QStringLiteral("нет книги")));
    // The finished book takes its name in one step; on another file system
    // it is copied there first.
    QString reason;
    bool noSpace = false;
    const auto cannot = [&] {
        return AppError(noSpace ? NoSpaceText(fileName)
                                : QStringLiteral("Не удалось записать книгу %1: %2")
                                      .arg(QDir::toNativeSeparators(fileName), reason));
    };
    // The chosen file gets the permissions a saved file has: those of the
    // file it replaces, else the usual ones; not the book's own (0600).
    struct stat replaced = {};
    const bool replacing = ::stat(QFile::encodeName(fileName).constData(), &replaced) == 0;
    if (::rename(QFile::encodeName(file_).constData(), QFile::encodeName(fileName).constData()) == 0) {
        ::chmod(QFile::encodeName(fileName).constData(), replacing ? replaced.st_mode & 07777 : 0666 & ~processUmask());
        return true;
    }
    if (errno != EXDEV) {
        noSpace = IsNoSpace(errno);
        reason = QString::fromLocal8Bit(std::strerror(errno));
        throw cannot();
    }
    QFile in(file_);
    if (!in.open(QIODevice::ReadOnly)) {
        reason = in.errorString();
        throw cannot();
    }
    SaveWatch unwatched;
    if (CopyFileWatched(in, fileName, watch ? *watch : unwatched, &reason, &noSpace))
        return true;
    if (reason.isEmpty())
        return false; // stopped: the copy is gone, the book stays for discard()
    throw cannot();
}

void XlsxBackend::keepWhileRunning()
{
    if (work_)
        work_->keepWhileRunning();
    work_.reset();
}

void XlsxBackend::discard()
{
    pending_.clear();
    {
        // The rows still queued are dropped, not written: the writer thread
        // stops after the batch in hand.
        std::lock_guard lock(mutex_);
        queue_.clear();
    }
    stopWriter();
    if (workbook_)
        freeWorkbook(); // nothing of it is written
    work_.reset();
    formats_.clear();
}
