#pragma once
// Rows fetched from a cursor, kept compactly so that a grid can scroll back
// over a large result: each row is a null bitmap followed by the non-null
// values, texts as a length and their bytes (trailing blanks of CHAR columns
// dropped), everything else as the client delivered it. Rows live in large
// blocks that never move, so memory grows without copying.
//
// Only the newest blocks stay in memory: once the rows pass a limit
// (kResidentBytes), older blocks go to a temporary file that is removed as
// soon as it is created, and come back through a few block-sized buffers
// when their rows are asked for. A result of millions of rows then costs a
// few tens of megabytes of memory. When no temporary file can be written,
// every block stays in memory, as rows are never dropped.

#include <QByteArray>
#include <QString>
#include <array>
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

// A cell's bytes, valid until the next call of RowStore::cell.
struct CellRef {
    bool isNull = true;
    const char *data = nullptr;
    unsigned size = 0;
};

class RowStore {
public:
    static constexpr std::size_t kBlockSize = 1 << 20;
    static constexpr std::size_t kResidentBytes = 16 * kBlockSize;

    RowStore();
    ~RowStore();
    RowStore(const RowStore &) = delete;
    RowStore &operator=(const RowStore &) = delete;

    void reset(std::vector<ColumnInfo> columns);
    const std::vector<ColumnInfo> &columns() const { return columns_; }
    // How many bytes of rows stay in memory before older blocks are written
    // out (tests make it small).
    void setResidentLimit(std::size_t bytes) { residentLimit_ = bytes; }
    // The folder of the temporary file (the system's temporary folder unless
    // set).
    void setSpillFolder(const QString &folder) { spillFolder_ = folder; }

    // Appends the row held in a message buffer laid out by the columns.
    void append(const unsigned char *message);
    std::size_t rowCount() const { return rows_.size(); }
    // Throws DbError when rows written out cannot be read back.
    CellRef cell(std::size_t row, std::size_t column) const;
    // The bytes of every row, in memory or written out.
    std::size_t bytesUsed() const { return bytesUsed_; }
    // The bytes of blocks held in memory (written-out blocks read back
    // included).
    std::size_t residentBytes() const;

private:
    struct Block {
        std::unique_ptr<char[]> data; // null once written out
        std::size_t size = 0;         // capacity
        std::size_t used = 0;
        std::int64_t fileOffset = -1;
    };
    // A buffer that holds one written-out block while its rows are read.
    struct Slot {
        std::unique_ptr<char[]> data;
        std::size_t capacity = 0;
        std::size_t block = SIZE_MAX;
        std::uint64_t lastUse = 0;
    };

    char *allocate(std::size_t size);
    void writeOutOldBlocks();
    bool writeOut(Block &block);
    const char *blockData(std::size_t block) const;
    void closeSpillFile();

    std::vector<ColumnInfo> columns_;
    // Where each row starts: block index in the high half, offset in the low.
    std::deque<std::uint64_t> rows_;
    std::vector<Block> blocks_;
    std::size_t bytesUsed_ = 0;
    std::size_t residentLimit_ = kResidentBytes;
    QString spillFolder_;
    std::size_t residentBlockBytes_ = 0; // capacity of the blocks in memory
    std::size_t nextToWrite_ = 0;        // blocks before it are written out or kept
    int spillFd_ = -1;
    bool spillFailed_ = false;
    std::int64_t spillEnd_ = 0;
    mutable std::array<Slot, 4> slots_;
    mutable std::uint64_t uses_ = 0;
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
