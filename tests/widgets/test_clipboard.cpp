#include "widgets/clipboard.h"

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QMimeData>
#include <QTest>

class TestClipboard : public QObject {
    Q_OBJECT
private slots:
    void clipboardRoundTrip()
    {
        QStringList lines{QStringLiteral("(t_o.ID_PARENT='7')"), QStringLiteral("and"), QStringLiteral("Ёж")};
        QCOMPARE(ListToClipboard(&lines), 3);
        QCOMPARE(QGuiApplication::clipboard()->text(), lines.join(QStringLiteral("\r\n")));
        QStringList back{QStringLiteral("old")};
        QCOMPARE(ListFromClipboard(&back, false), 3);
        QCOMPARE(back, lines);
        QCOMPARE(ListToClipboard(nullptr), 0);
        QCOMPARE(QGuiApplication::clipboard()->text(), lines.join(QStringLiteral("\r\n")));
    }

    void clipboardLineEnds()
    {
        QGuiApplication::clipboard()->setText(QStringLiteral("a\rb\nc\r\nd\r\n"));
        QStringList list;
        QCOMPARE(ListFromClipboard(&list, true), 4);
        QCOMPARE(list, (QStringList{"a", "b", "c", "d"}));
        QVERIFY(QGuiApplication::clipboard()->text().isEmpty());
    }

    void clipboardPictureOnly()
    {
        auto *data = new QMimeData;
        QImage image(4, 4, QImage::Format_RGB32);
        image.fill(Qt::red);
        data->setImageData(image);
        QGuiApplication::clipboard()->setMimeData(data);
        QStringList list{QStringLiteral("keep?")};
        QCOMPARE(ListFromClipboard(&list, false), 0);
        QVERIFY(list.isEmpty());
        QCOMPARE(ListFromClipboard(nullptr, false), 0);
    }
};

QTEST_MAIN(TestClipboard)
#include "test_clipboard.moc"
