#include "db/db_dataset.h"
#include "exports/export_rows.h"
#include "exports/html_page.h"
#include "results/result_query.h"
#include "support/app_error.h"

#include <QBuffer>
#include <QFile>
#include <QTest>

namespace {

// The columns the result window exports: its visible fields without "INFO".
std::vector<HtmlColumn> windowColumns()
{
    DbDataSet rows;
    for (const FieldDef &def : ResultFieldDefs())
        rows.addField(def);
    std::vector<HtmlColumn> columns;
    for (const ExportColumn &c : ExportColumns(rows))
        columns.push_back({c.name, c.label});
    return columns;
}

QByteArray expected(const QString &name)
{
    QFile f(QStringLiteral(HTML_DATA_DIR "/") + name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing " + name.toUtf8() + ">");
}

} // namespace

class TestHtmlPage : public QObject {
    Q_OBJECT
private slots:
    void page_data()
    {
        QTest::addColumn<QStringList>("names"); // empty: the result window's columns
        QTest::addColumn<QStringList>("labels");
        QTest::addColumn<QList<QStringList>>("rows");
        QTest::addColumn<QString>("file");
        QTest::newRow("no rows") << QStringList() << QStringList() << QList<QStringList>() << "page_no_rows.htm";
        // NULL date, blanks only, NULL integer and NULL texts become "&nbsp;".
        QTest::newRow("one row") << QStringList() << QStringList()
                                 << QList<QStringList>{{"Объект обычный", "  Насос №1 ", "01.02.2020", "08:30", "",
                                                        "   ", "примечание", "Цех", "101", "PUMP", "1", "1", "", "",
                                                        "", "100", "1", "0", "7"}}
                                 << "page_one_row.htm";
        QTest::newRow("escaped labels and values")
            << QStringList{"NAME_MAX", "id_kind", "NOTE"} << QStringList{"Имя <b>&amp;\"x\"", "Вид's", "Прим."}
            << QList<QStringList>{{"<script>alert('x')</script>", "1", "A & B"},
                                  {"\"кавычки\" и 'апостроф'", "", "  \t "},
                                  {"x > y", "2", "&nbsp;"}}
            << "page_escaped.htm";
    }
    void page()
    {
        QFETCH(QStringList, names);
        QFETCH(QStringList, labels);
        QFETCH(QList<QStringList>, rows);
        QFETCH(QString, file);
        std::vector<HtmlColumn> columns = windowColumns();
        if (!names.isEmpty()) {
            columns.clear();
            for (qsizetype i = 0; i < names.size(); ++i)
                columns.push_back({names[i], labels[i]});
        }
        QCOMPARE(columns.size(), names.isEmpty() ? 19u : std::size_t(names.size()));
        QBuffer out;
        out.open(QIODevice::WriteOnly);
        HtmlPageWriter page(out);
        page.begin(columns);
        for (const QStringList &row : rows)
            page.writeRow(row);
        page.end();
        const QByteArray want = expected(file);
        if (out.data() != want) { // show the first line that differs
            const QList<QByteArray> got = out.data().split('\n'), exp = want.split('\n');
            for (qsizetype i = 0; i < std::max(got.size(), exp.size()); ++i)
                QCOMPARE(got.value(i), exp.value(i));
        }
        QCOMPARE(out.data(), want);
    }

    // A page of several hundred kilobytes, written in many pieces, holds
    // every row once: the one row of page_one_row.htm again and again, its
    // colour alternating.
    void largePageByteForByte()
    {
        const QStringList values{"Объект обычный", "  Насос №1 ", "01.02.2020", "08:30", "", "   ", "примечание",
                                 "Цех", "101", "PUMP", "1", "1", "", "", "", "100", "1", "0", "7"};
        constexpr int kRows = 400;
        QBuffer out;
        out.open(QIODevice::WriteOnly);
        HtmlPageWriter page(out);
        page.begin(windowColumns());
        for (int i = 0; i < kRows; ++i)
            page.writeRow(values);
        page.end();

        const QByteArray oneRow = expected("page_one_row.htm");
        const qsizetype rowsStart = oneRow.indexOf("    </tr>\r\n") + 11, rowsEnd = oneRow.indexOf("  </table>");
        const QByteArray odd = oneRow.mid(rowsStart, rowsEnd - rowsStart);
        QByteArray even = odd;
        even.replace("#EFFFEF", "#FFFFE1");
        QByteArray want = oneRow.left(rowsStart);
        for (int i = 0; i < kRows; ++i)
            want += i % 2 ? even : odd;
        want += oneRow.mid(rowsEnd);
        QVERIFY(want.size() > 4 * 64 * 1024);
        QCOMPARE(out.data().size(), want.size());
        QVERIFY(out.data() == want);
    }

    // A full disk is said as such, naming the file.
    void fullDiskIsAnError()
    {
        QFile full(QStringLiteral("/dev/full"));
        QVERIFY(full.open(QIODevice::WriteOnly));
        HtmlPageWriter page(full);
        try {
            page.begin(windowColumns());
            page.end();
            QFAIL("written");
        } catch (const AppError &e) {
            QCOMPARE(e.message(), QStringLiteral("Недостаточно места на диске: /dev/full"));
        }
    }

    // Control characters but tab, line feed and carriage return never reach
    // the page.
    void controlCharacters()
    {
        QCOMPARE(HtmlEscape(QString::fromUtf8("a\x01\x1f\x7f\t\r\n<b\x0b", 10)), QStringLiteral("a???\t\r\n&lt;b?"));
        QBuffer out;
        out.open(QIODevice::WriteOnly);
        HtmlPageWriter page(out);
        page.begin({{"NOTE", "Прим."}});
        page.writeRow({QString::fromUtf8("x\0y\x1bz", 5)});
        page.end();
        QVERIFY(out.data().contains(" >x?y?z</td>"));
    }
};

QTEST_GUILESS_MAIN(TestHtmlPage)
#include "test_html_page.moc"
