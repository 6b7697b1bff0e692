#pragma once
// The HTML page of the found objects: a fixed heading, a table with one header
// row and one row per object, and a fixed footer, in Windows-1251 with CR LF
// after every line. Lines are written as they are made, so memory does not
// grow with the rows. Every label and value is escaped; control characters
// but tab, line feed and carriage return become "?".

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

class QIODevice;

// "&", "<", ">" and '"' written as character entities, control characters as "?".
QString HtmlEscape(const QString &text);

struct HtmlColumn {
    QString name;  // the field's name: decides alignment and "nowrap"
    QString label; // the header cell's text
};

class HtmlPageWriter {
public:
    explicit HtmlPageWriter(QIODevice &out);
    HtmlPageWriter(const HtmlPageWriter &) = delete;
    HtmlPageWriter &operator=(const HtmlPageWriter &) = delete;

    // The heading and the header row. Throws AppError when the device refuses
    // the bytes (so do the two below).
    void begin(const std::vector<HtmlColumn> &columns);
    // One data row: a value per column, as text ("" for NULL).
    void writeRow(const QStringList &values);
    // The footer; everything is handed to the device.
    void end();

    int rows() const { return rows_; }

private:
    void line(const QString &text);
    void flush(qsizetype atLeast);

    QIODevice &out_;
    QByteArray buffer_;
    QString row_;
    // The opening of each column's data cell, for odd and even rows.
    std::vector<QString> cellOpen_[2];
    int rows_ = 0;
};
