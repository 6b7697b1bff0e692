#include "db/row_store.h"

#include "db/db_error.h"

#include <QDir>
#include <QFile>
#include <firebird/Interface.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr std::uint64_t kOffsetBits = 32;

std::uint64_t rowPlace(std::size_t block, std::size_t offset)
{
    return (std::uint64_t(block) << kOffsetBits) | std::uint64_t(offset);
}

void putLength(std::vector<char> &out, unsigned n)
{
    while (n >= 0x80) {
        out.push_back(char((n & 0x7F) | 0x80));
        n >>= 7;
    }
    out.push_back(char(n));
}

unsigned getLength(const char *&p)
{
    unsigned n = 0;
    int shift = 0;
    for (;;) {
        const auto b = static_cast<unsigned char>(*p++);
        n |= unsigned(b & 0x7F) << shift;
        if (!(b & 0x80))
            return n;
        shift += 7;
    }
}

} // namespace

bool ColumnInfo::isText() const
{
    return type == SQL_VARYING || type == SQL_TEXT;
}

RowStore::RowStore() = default;

RowStore::~RowStore()
{
    closeSpillFile();
}

void RowStore::closeSpillFile()
{
    if (spillFd_ >= 0)
        ::close(spillFd_);
    spillFd_ = -1;
    spillFailed_ = false;
    spillEnd_ = 0;
}

void RowStore::reset(std::vector<ColumnInfo> columns)
{
    columns_ = std::move(columns);
    rows_.clear();
    blocks_.clear();
    cursor_ = Cursor();
    bytesUsed_ = 0;
    residentBlockBytes_ = 0;
    nextToWrite_ = 0;
    for (Slot &slot : slots_)
        slot = Slot();
    closeSpillFile();
}

std::size_t RowStore::residentBytes() const
{
    std::size_t bytes = residentBlockBytes_;
    for (const Slot &slot : slots_)
        bytes += slot.capacity;
    return bytes;
}

char *RowStore::allocate(std::size_t size)
{
    if (blocks_.empty() || size > blocks_.back().size - blocks_.back().used) {
        Block block;
        block.size = std::max(size, kBlockSize);
        block.data = std::make_unique<char[]>(block.size);
        residentBlockBytes_ += block.size;
        blocks_.push_back(std::move(block));
        writeOutOldBlocks();
    }
    Block &block = blocks_.back();
    char *p = block.data.get() + block.used;
    block.used += size;
    bytesUsed_ += size;
    return p;
}

void RowStore::writeOutOldBlocks()
{
    // The newest block is still being filled: it always stays.
    while (!spillFailed_ && residentBlockBytes_ > residentLimit_ && nextToWrite_ + 1 < blocks_.size()) {
        Block &block = blocks_[nextToWrite_];
        if (!writeOut(block)) {
            spillFailed_ = true; // rows stay in memory from here on
            return;
        }
        residentBlockBytes_ -= block.size;
        block.data.reset();
        cursor_ = Cursor();
        ++nextToWrite_;
    }
}

bool RowStore::writeOut(Block &block)
{
    if (spillFd_ < 0) {
        QByteArray name = QFile::encodeName((spillFolder_.isEmpty() ? QDir::tempPath() : spillFolder_) +
                                          QStringLiteral("/vrkx-rows-XXXXXX"));
        spillFd_ = ::mkostemp(name.data(), O_CLOEXEC);
        if (spillFd_ < 0)
            return false;
        // Nothing stays behind, however the program ends.
        ::unlink(name.constData());
    }
    const char *p = block.data.get();
    std::size_t left = block.used;
    std::int64_t at = spillEnd_;
    while (left > 0) {
        const ssize_t n = ::pwrite(spillFd_, p, left, off_t(at));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        p += n;
        left -= std::size_t(n);
        at += n;
    }
    block.fileOffset = spillEnd_;
    spillEnd_ = at;
    return true;
}

const char *RowStore::blockData(std::size_t index) const
{
    const Block &block = blocks_[index];
    if (block.data)
        return block.data.get();
    Slot *slot = nullptr;
    for (Slot &s : slots_) {
        if (s.block == index) {
            s.lastUse = ++uses_;
            return s.data.get();
        }
        if (!slot || s.lastUse < slot->lastUse)
            slot = &s;
    }
    // The least recently used buffer takes the block; a cell read from it
    // before is no longer needed (see CellRef).
    cursor_ = Cursor();
    slot->block = SIZE_MAX;
    if (slot->capacity < block.used) {
        slot->data = std::make_unique<char[]>(std::max(block.used, kBlockSize));
        slot->capacity = std::max(block.used, kBlockSize);
    }
    char *p = slot->data.get();
    std::size_t left = block.used;
    std::int64_t at = block.fileOffset;
    while (left > 0) {
        const ssize_t n = ::pread(spillFd_, p, left, off_t(at));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            throw DbError(QStringLiteral("Не удалось прочитать строки результата из временного файла: %1")
                              .arg(QString::fromLocal8Bit(std::strerror(n < 0 ? errno : EIO))));
        p += n;
        left -= std::size_t(n);
        at += n;
    }
    slot->block = index;
    slot->lastUse = ++uses_;
    return slot->data.get();
}

void RowStore::append(const unsigned char *message)
{
    const std::size_t n = columns_.size();
    const std::size_t bitmapSize = (n + 7) / 8;
    scratch_.assign(bitmapSize, 0);
    for (std::size_t c = 0; c < n; ++c) {
        const ColumnInfo &col = columns_[c];
        short nullFlag = 0;
        std::memcpy(&nullFlag, message + col.nullOffset, sizeof nullFlag);
        if (nullFlag) {
            scratch_[c / 8] = char(scratch_[c / 8] | (1 << (c % 8)));
            continue;
        }
        const unsigned char *value = message + col.offset;
        if (col.type == SQL_VARYING) {
            unsigned short len = 0;
            std::memcpy(&len, value, sizeof len);
            putLength(scratch_, len);
            scratch_.insert(scratch_.end(), value + 2, value + 2 + len);
        } else if (col.type == SQL_TEXT) {
            unsigned len = col.length;
            while (len > 0 && value[len - 1] == ' ')
                --len;
            putLength(scratch_, len);
            scratch_.insert(scratch_.end(), value, value + len);
        } else {
            scratch_.insert(scratch_.end(), value, value + col.length);
        }
    }
    char *row = allocate(scratch_.size());
    std::memcpy(row, scratch_.data(), scratch_.size());
    rows_.push_back(rowPlace(blocks_.size() - 1, std::size_t(row - blocks_.back().data.get())));
}

CellRef RowStore::cell(std::size_t row, std::size_t column) const
{
    CellRef ref;
    if (row >= rows_.size() || column >= columns_.size())
        return ref;
    const std::uint64_t place = rows_[row];
    const char *bitmap = blockData(std::size_t(place >> kOffsetBits)) + (place & ((std::uint64_t(1) << kOffsetBits) - 1));
    auto isNull = [bitmap](std::size_t c) { return (bitmap[c / 8] >> (c % 8)) & 1; };
    const char *p = bitmap + (columns_.size() + 7) / 8;
    std::size_t c = 0;
    if (cursor_.row == row && cursor_.column < column) {
        c = cursor_.column + 1;
        p = cursor_.next;
    }
    for (;; ++c) {
        if (isNull(c)) {
            if (c == column)
                return ref;
            continue;
        }
        const ColumnInfo &col = columns_[c];
        unsigned size = col.length;
        if (col.isText())
            size = getLength(p);
        if (c == column) {
            ref.isNull = false;
            ref.data = p;
            ref.size = size;
            cursor_ = {row, c, p + size};
            return ref;
        }
        p += size;
    }
}
