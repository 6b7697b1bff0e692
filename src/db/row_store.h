#pragma once
// Rows fetched from a cursor, kept compactly so that a grid can scroll back
// over a large result: each row is a null bitmap followed by the non-null
// values, texts as a length and their bytes (trailing blanks of CHAR columns
// dropped), everything else as the client delivered it. Rows live in large
// blocks that never move, so memory grows without copying.

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

struct ColumnInfo {
    QString name;      // the column's alias, as fields bind to it
    unsigned type = 0; // SQL_* without the nullable bit
    int subType = 0;
    unsigned length = 0; // bytes in the message
    int scale = 0;
    unsigned offset = 0;
    unsigned nullOffset = 0;
    bool isText() const;
};

struct CellRef {
    bool isNull = true;
    const char *data = nullptr;
    unsigned size = 0;
};

class RowStore {
public:
    void reset(std::vector<ColumnInfo> columns);
    const std::vector<ColumnInfo> &columns() const { return columns_; }

    // Appends the row held in a message buffer laid out by the columns.
    void append(const unsigned char *message);
    std::size_t rowCount() const { return rows_.size(); }
    CellRef cell(std::size_t row, std::size_t column) const;
    std::size_t bytesUsed() const { return bytesUsed_; }

private:
    char *allocate(std::size_t size);

    std::vector<ColumnInfo> columns_;
    std::deque<const char *> rows_;
    std::vector<std::unique_ptr<char[]>> blocks_;
    char *blockPos_ = nullptr;
    std::size_t blockLeft_ = 0;
    std::size_t bytesUsed_ = 0;
    std::vector<char> scratch_;
    // Where the last cell asked for lies: the next column of the same row
    // continues from there, so reading a row field by field stays linear.
    struct Cursor {
        std::size_t row = SIZE_MAX;
        std::size_t column = 0;
        const char *next = nullptr; // the column after it
    };
    mutable Cursor cursor_;
};
