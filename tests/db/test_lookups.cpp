#include "common/test_store.h"
#include "db/db_connection.h"
#include "db/db_error.h"
#include "db/lookups.h"

#include <QTemporaryDir>
#include <QTest>

namespace {

void fill(StoreWriter &w)
{
    AddType(w, "10", "Насос центробежный", "Насос Ц", "Pump_K");
    AddType(w, "11", "Тип без короткого имени", "", "");
    AddObject(w, "0!1-0_0_15", "Насос Н-1", "10");
    AddObject(w, "7", "Объект без типа в справочнике", "999");
    AddObject(w, "8", "Объект без типа", "");
    AddObject(w, "ab'c", "Кавычка внутри");
    AddObject(w, "Obj-Case", "Регистр");
    auto s = w.prepare("INSERT INTO L_PROPNUMBER_LIST (NAME_MAX, NAME_MIN, ID_THIS, MNEMO_CODE, ID_GRP, "
                       "ID_UNITMEASURE) VALUES (?, ?, ?, ?, 'G', ?)");
    w.run(s, {QStringLiteral("Давление на выходе"), QStringLiteral("Давление"), QStringLiteral("27"),
              QStringLiteral("PRESSURE"), QStringLiteral("3-V1")});
    auto v = w.prepare("INSERT INTO L_PROPENUM_VAL (NAME_MAX, NAME_MIN, ID_THIS, MNEMO_CODE, ID_GRP) "
                       "VALUES (?, ?, ?, ?, 'L')");
    w.run(v, {QStringLiteral("Мегапаскаль"), QStringLiteral("МПа"), QStringLiteral("3-V1"), QStringLiteral("MPA")});
    w.commit();
}

} // namespace

class TestLookups : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    DbConnection conn_;
    QStringList hookMessages_;

private slots:
    void initTestCase()
    {
        conn_.setDatabaseName(MakeTestStore(dir_.path(), "lookups.fdb", fill));
        conn_.setUserName("VeldaRunKX");
        conn_.setPassword("qzmt");
        conn_.open();
        SetSqlErrorHook([this](const QString &m) { hookMessages_ << m; });
    }

    void init() { hookMessages_.clear(); }

    void names_data()
    {
        QTest::addColumn<QString>("routine");
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("nameKind");
        QTest::addColumn<QString>("result");
        QTest::newRow("type by id") << "type" << "10" << 1 << "Насос центробежный";
        QTest::newRow("type short") << "type" << "10" << 0 << "Насос Ц";
        QTest::newRow("type short negative kind") << "type" << "10" << -3 << "Насос Ц";
        QTest::newRow("type by mnemo lower") << "type" << "pump_k" << 1 << "Насос центробежный";
        QTest::newRow("type by mnemo quoted") << "type" << " 'PUMP_K' " << 1 << "Насос центробежный";
        QTest::newRow("type no id") << "type" << "0" << 1 << "???";
        QTest::newRow("type unknown mnemo") << "type" << "nothing" << 1 << "";
        QTest::newRow("type unknown id") << "type" << "999" << 1 << "";
        QTest::newRow("type empty") << "type" << "  " << 1 << "";
        QTest::newRow("type no short name") << "type" << "11" << 0 << "";
        QTest::newRow("prop") << "prop" << "PRESSURE" << 1 << "Давление на выходе";
        QTest::newRow("prop no id") << "prop" << "0" << 0 << "???";
        QTest::newRow("enum") << "enum" << "3-V1" << 0 << "МПа";
        QTest::newRow("enum mnemo") << "enum" << "\"mpa\"" << 1 << "Мегапаскаль";
        QTest::newRow("object") << "object" << "0!1-0_0_15" << 1 << "Насос Н-1";
        QTest::newRow("object quoted") << "object" << "'0!1-0_0_15'" << 1 << "Насос Н-1";
        QTest::newRow("object with quote inside") << "object" << "ab'c" << 1 << "Кавычка внутри";
        QTest::newRow("object missing") << "object" << "x'; DELETE FROM OBJECTS_TREE; --" << 1 << "";
        QTest::newRow("caption") << "caption" << "0!1-0_0_15" << 1 << "Насос центробежный: Насос Н-1";
        QTest::newRow("caption unknown object") << "caption" << "12345" << 1 << "???: ";
        QTest::newRow("caption missing type row") << "caption" << "7" << 1 << "???: Объект без типа в справочнике";
        QTest::newRow("caption null type") << "caption" << "8" << 1 << "???: Объект без типа";
        QTest::newRow("caption empty id") << "caption" << " '' " << 1 << "";
        QTest::newRow("unit of prop") << "unit" << "27" << 1 << "3-V1";
    }
    void names()
    {
        QFETCH(QString, routine);
        QFETCH(QString, value);
        QFETCH(int, nameKind);
        QFETCH(QString, result);
        QString got;
        if (routine == "type")
            got = GetTypeName(&conn_, value, nameKind);
        else if (routine == "prop")
            got = GetNumberPropName(&conn_, value, nameKind);
        else if (routine == "enum")
            got = GetEnumValueName(&conn_, value, nameKind);
        else if (routine == "object")
            got = GetObjectName(&conn_, value);
        else if (routine == "caption")
            got = GetObjectCaption(&conn_, value, nameKind, true);
        else if (routine == "unit")
            got = GetFieldById(&conn_, "L_PROPNUMBER_LIST", "ID_UNITMEASURE", "'" + value + "'", true);
        QCOMPARE(got, result);
        QVERIFY(hookMessages_.isEmpty());
    }

    void captionWithoutMarker()
    {
        QCOMPARE(GetObjectCaption(&conn_, "12345", 1, false), QString());
        QCOMPARE(GetObjectCaption(&conn_, "7", 1, false), QStringLiteral("Объект без типа в справочнике"));
    }

    void existence_data()
    {
        QTest::addColumn<QString>("id");
        QTest::addColumn<bool>("exists");
        QTest::newRow("plain") << "0!1-0_0_15" << true;
        QTest::newRow("quotes typed") << "'0!1-0_0_15'" << true;
        QTest::newRow("double quotes and blanks") << " \"0!1-0_0_15\" " << true;
        QTest::newRow("quote inside") << "ab'c" << true;
        QTest::newRow("other case") << "OBJ-CASE" << false; // the store compares exactly
        QTest::newRow("missing") << "0!1-0_0_16" << false;
        QTest::newRow("empty") << "''" << false;
    }
    void existence()
    {
        QFETCH(QString, id);
        QFETCH(bool, exists);
        QCOMPARE(ObjectExists(&conn_, id), exists);
    }

    void rowExistsComparesTheIdentifier()
    {
        QVERIFY(RowExistsById(&conn_, "OBJECTS_TREE", "'7'"));
        // The store pads the comparison, so '7  ' finds row 7: an identifier
        // that differs in more than letter case is no match.
        QVERIFY(!RowExistsById(&conn_, "OBJECTS_TREE", "'7  '"));
        QVERIFY(RowExistsById(&conn_, "OBJECTS_TREE", "'ab''c'"));
        QVERIFY(!RowExistsById(nullptr, "OBJECTS_TREE", "'7'"));
        QVERIFY(!RowExistsById(&conn_, " ", "'7'"));
    }

    void mnemoToId()
    {
        QCOMPARE(FindIdByMnemo(&conn_, "L_TYPEOBJ_LIST", "pump_K"), QStringLiteral("10"));
        QCOMPARE(FindIdByMnemo(&conn_, "L_TYPEOBJ_LIST", " '12' "), QStringLiteral("12"));
        QCOMPARE(FindIdByMnemo(&conn_, "  ", "pump_K"), QString());
        QCOMPARE(FindIdByMnemo(&conn_, "L_TYPEOBJ_LIST", "x'y"), QString());
    }

    void statementErrorGoesThroughHook()
    {
        try {
            GetFieldById(&conn_, "NO_SUCH_TABLE", "NAME_MAX", "'1'", true);
            QFAIL("no error");
        } catch (const DbError &e) {
            QVERIFY2(e.message().contains("NO_SUCH_TABLE"), qPrintable(e.message()));
        }
        QCOMPARE(hookMessages_.size(), 1);
        QCOMPARE(hookMessages_[0], QStringLiteral("Error! \nSELECT NAME_MAX\nFROM\nNO_SUCH_TABLE\nWHERE\nID_THIS='1'\n"));
    }

    void nothingToAsk()
    {
        QCOMPARE(SelectSingleValue(nullptr, "OBJECTS_TREE", "ID_THIS", "", true, false, true), QString());
        QCOMPARE(SelectSingleValue(&conn_, " ", "ID_THIS", "", true, false, true), QString());
        QCOMPARE(SelectSingleValue(&conn_, "OBJECTS_TREE", "ID_THIS", "ID_THIS='none'", true, false, true), QString());
        QCOMPARE(GetObjectName(&conn_, "  "), QString());
        QVERIFY(!EnsureTransactionActive(nullptr, true));
    }

    // Longer than the store's columns: nothing to find, nothing asked (the
    // engine would refuse it as an index key).
    void overlongTextsNameNothing()
    {
        const QString id = QString(5000, QChar('7'));
        QCOMPARE(GetObjectCaption(&conn_, id, 1, true), QStringLiteral("???: "));
        QVERIFY(!ObjectExists(&conn_, id));
        QCOMPARE(FindIdByMnemo(&conn_, "L_TYPEOBJ_LIST", QString(33, QChar('P'))), QString());
        QVERIFY(hookMessages_.isEmpty());
    }

    void closedConnectionRaisesWithoutHook()
    {
        DbConnection closed;
        QVERIFY_THROWS_EXCEPTION(DbError, GetObjectName(&closed, "7"));
        QVERIFY(hookMessages_.isEmpty());
        QVERIFY(!EnsureTransactionActive(&closed, false));
    }
};

QTEST_MAIN(TestLookups)
#include "test_lookups.moc"
