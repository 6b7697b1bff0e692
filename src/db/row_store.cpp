#include "db/row_store.h"

#include <firebird/Interface.h>

#include <cstring>

namespace {

constexpr std::size_t kBlockSize = 1 << 20;

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

void RowStore::reset(std::vector<ColumnInfo> columns)
{
    columns_ = std::move(columns);
    rows_.clear();
    blocks_.clear();
    cursor_ = Cursor();
    blockPos_ = nullptr;
    blockLeft_ = 0;
    bytesUsed_ = 0;
}

char *RowStore::allocate(std::size_t size)
{
    if (size > blockLeft_) {
        const std::size_t blockSize = std::max(size, kBlockSize);
        blocks_.push_back(std::make_unique<char[]>(blockSize));
        blockPos_ = blocks_.back().get();
        blockLeft_ = blockSize;
    }
    char *p = blockPos_;
    blockPos_ += size;
    blockLeft_ -= size;
    bytesUsed_ += size;
    return p;
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
    rows_.push_back(row);
}

CellRef RowStore::cell(std::size_t row, std::size_t column) const
{
    CellRef ref;
    if (row >= rows_.size() || column >= columns_.size())
        return ref;
    const char *bitmap = rows_[row];
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
