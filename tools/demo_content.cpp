#include "demo_content.h"

#include "store_writer.h"

#include <QDate>
#include <QStringList>
#include <cstdio>

namespace {

struct Level {
    const char *table;
    const char *id;
    const char *group;
    const char *name;
    const char *shortName;
    const char *mnemo;
};

void addLevel(StoreWriter &w, const QString &table, int numpp, const QString &id, const QString &group,
              const QString &name, const QString &shortName, const QString &mnemo,
              const QString &note = QString())
{
    auto s = w.prepare(QStringLiteral("INSERT INTO %1 (NUMPP, NAME_MAX, NAME_MIN, NOTE, ID_THIS, MNEMO_CODE, ID_GRP) "
                                      "VALUES (?, ?, ?, ?, ?, ?, ?)")
                           .arg(table));
    w.run(s, {qint64(numpp), name, shortName, note.isEmpty() ? StoreValue() : StoreValue(note), id,
              mnemo.isEmpty() ? StoreValue() : StoreValue(mnemo), group});
}

struct TypeRow {
    QString id, group, name, shortName, mnemo;
    int abstract, kind;
};

void addType(StoreWriter &w, int numpp, const TypeRow &t)
{
    auto s = w.prepare(QStringLiteral(
        "INSERT INTO L_TYPEOBJ_LIST (NUMPP, NAME_MAX, NAME_MIN, NOTE, ID_THIS, MNEMO_CODE, ID_GRP, "
        "ITS_ABSTRACT, ID_KIND) VALUES (?, ?, ?, NULL, ?, ?, ?, ?, ?)"));
    w.run(s, {qint64(numpp), t.name, t.shortName, t.id, t.mnemo, t.group, qint64(t.abstract), qint64(t.kind)});
}

void addNumberProp(StoreWriter &w, int numpp, const QString &id, const QString &group, const QString &name,
                   const QString &shortName, const QString &mnemo, const QString &unitId, int precision)
{
    auto s = w.prepare(QStringLiteral(
        "INSERT INTO L_PROPNUMBER_LIST (NUMPP, NAME_MAX, NAME_MIN, NOTE, ID_THIS, MNEMO_CODE, ID_GRP, "
        "ID_UNITMEASURE, PRECIS) VALUES (?, ?, ?, NULL, ?, ?, ?, ?, ?)"));
    w.run(s, {qint64(numpp), name, shortName, id, mnemo, group, unitId, qint64(precision)});
}

void fillCatalogs(StoreWriter &w)
{
    // Object types.
    addLevel(w, "L_TYPEOBJ_TOP", 1, "1-T1", "0", "Технические средства", "Техника", "TECH",
             "Оборудование и сооружения предприятия");
    addLevel(w, "L_TYPEOBJ_TOP", 2, "1-T2", "0", "Процессы и работы", "Процессы", "PROC");
    addLevel(w, "L_TYPEOBJ_TOP", 3, "1-T3", "0", "Организационные единицы", "Организация", "ORG");
    addLevel(w, "L_TYPEOBJ_MACRO", 1, "1-M1", "1-T1", "Насосное оборудование", "Насосы", "PUMPS");
    addLevel(w, "L_TYPEOBJ_MACRO", 2, "1-M2", "1-T1", "Электрооборудование", "Электрика", "ELEC");
    addLevel(w, "L_TYPEOBJ_MACRO", 1, "1-M3", "1-T2", "Техническое обслуживание", "ТО", "SERVICE");
    addLevel(w, "L_TYPEOBJ_MACRO", 1, "1-M4", "1-T3", "Подразделения", "Подразделения", "UNITS");
    addLevel(w, "L_TYPEOBJ_GRP", 1, "1-G1", "1-M1", "Насосы центробежные", "Центробежные", "CPUMPS");
    addLevel(w, "L_TYPEOBJ_GRP", 2, "1-G2", "1-M1", "Насосы поршневые", "Поршневые", "PPUMPS");
    addLevel(w, "L_TYPEOBJ_GRP", 1, "1-G3", "1-M2", "Электродвигатели", "Двигатели", "MOTORS");
    addLevel(w, "L_TYPEOBJ_GRP", 1, "1-G4", "1-M3", "Плановые работы", "Плановые", "PLAN");
    addLevel(w, "L_TYPEOBJ_GRP", 1, "1-G5", "1-M4", "Производственные подразделения", "Производство", "PROD");
    const TypeRow types[] = {
        {"10", "1-G1", "Насос центробежный консольный", "Насос К", "PUMP_K", 0, 1},
        {"11", "1-G1", "Насос центробежный многоступенчатый", "Насос ЦНС", "PUMP_CNS", 0, 1},
        {"12", "1-G1", "Насосный агрегат (обобщённый)", "Агрегат", "PUMP_UNIT", 1, 1},
        {"13", "1-G2", "Насос поршневой", "Насос П", "PUMP_P", 0, 1},
        {"14", "1-G3", "Электродвигатель асинхронный", "Двигатель АД", "MOTOR_AD", 0, 1},
        {"15", "1-G4", "Плановый осмотр", "Осмотр", "INSPECT", 0, 2},
        {"16", "1-G4", "Капитальный ремонт", "Капремонт", "OVERHAUL", 0, 2},
        {"17", "1-G4", "Работа (обобщённая)", "Работа", "WORK", 1, 2},
        {"18", "1-G5", "Завод", "Завод", "PLANT", 0, 1},
        {"19", "1-G5", "Цех", "Цех", "SHOP", 0, 1},
        {"20", "1-G5", "Участок", "Участок", "SECTION", 0, 1},
        {"21", "1-G5", "Объект неизвестного вида", "Неизвестный", "ODD_KIND", 0, 3},
    };
    int n = 0;
    for (const TypeRow &t : types)
        addType(w, ++n, t);

    // Enumerated properties; units of measure are values of one of them.
    addLevel(w, "L_PROPENUM_TOP", 1, "3-T1", "0", "Справочные перечни", "Перечни", "ENUMS");
    addLevel(w, "L_PROPENUM_MACRO", 1, "3-M1", "3-T1", "Общие перечни", "Общие", "COMMON");
    addLevel(w, "L_PROPENUM_GRP", 1, "3-G1", "3-M1", "Измерения и состояния", "Измерения", "MEASURE");
    addLevel(w, "L_PROPENUM_LIST", 1, "3-L1", "3-G1", "Единица измерения", "Ед. изм.", "UNIT");
    addLevel(w, "L_PROPENUM_LIST", 2, "3-L2", "3-G1", "Техническое состояние", "Состояние", "STATE");
    const QStringList units[] = {{"3-V1", "Мегапаскаль", "МПа", "MPA"},
                                 {"3-V2", "Кубический метр в час", "м3/ч", "M3H"},
                                 {"3-V3", "Градус Цельсия", "°C", "CELS"},
                                 {"3-V4", "Киловатт", "кВт", "KW"},
                                 {"3-V5", "Оборот в минуту", "об/мин", "RPM"}};
    n = 0;
    for (const QStringList &u : units)
        addLevel(w, "L_PROPENUM_VAL", ++n, u[0], "3-L1", u[1], u[2], u[3]);
    addLevel(w, "L_PROPENUM_VAL", 1, "3-V6", "3-L2", "Исправен", "Исправен", "OK");
    addLevel(w, "L_PROPENUM_VAL", 2, "3-V7", "3-L2", "В ремонте", "Ремонт", "REPAIR");
    addLevel(w, "L_PROPENUM_VAL", 3, "3-V8", "3-L2", "Списан", "Списан", "SCRAP");

    // Numeric properties.
    addLevel(w, "L_PROPNUMBER_TOP", 1, "2-T1", "0", "Технические характеристики", "Характеристики", "TECHDATA");
    addLevel(w, "L_PROPNUMBER_MACRO", 1, "2-M1", "2-T1", "Гидравлические параметры", "Гидравлика", "HYDRO");
    addLevel(w, "L_PROPNUMBER_MACRO", 2, "2-M2", "2-T1", "Электрические параметры", "Электрика", "ELECP");
    addLevel(w, "L_PROPNUMBER_GRP", 1, "2-G1", "2-M1", "Напор и подача", "Напор", "HEAD");
    addLevel(w, "L_PROPNUMBER_GRP", 1, "2-G2", "2-M2", "Мощность и обороты", "Мощность", "POWERG");
    addNumberProp(w, 1, "27", "2-G1", "Давление на выходе", "Давление", "PRESSURE", "3-V1", 2);
    addNumberProp(w, 2, "28", "2-G1", "Подача", "Подача", "FLOW", "3-V2", 1);
    addNumberProp(w, 3, "29", "2-G1", "Температура перекачиваемой среды", "Температура", "TEMP", "3-V3", 0);
    addNumberProp(w, 1, "30", "2-G2", "Номинальная мощность", "Мощность", "POWER", "3-V4", 1);
    addNumberProp(w, 2, "31", "2-G2", "Частота вращения", "Обороты", "SPEED", "3-V5", 0);
    w.commit();
}

struct ObjectRow {
    ObjectRow() = default;
    ObjectRow(QString id_, QString parentId_, QString path, QString type_, QString name_, QString mnemo_,
              QString note_, QString info_, QDate d1, QDate d2)
        : id(std::move(id_)), parentId(std::move(parentId_)), parentsPath(std::move(path)), type(std::move(type_)),
          name(std::move(name_)), mnemo(std::move(mnemo_)), note(std::move(note_)), info(std::move(info_)), date1(d1),
          date2(d2)
    {
    }
    QString id;
    QString parentId;
    QString parentsPath; // the ancestors' "[id]" pieces
    QString type;
    QString name;
    QString mnemo;
    QString note;
    QString info;
    QDate date1, date2;
    int base = 1;
    QString ref, refNear;
};

class ObjectInserter {
public:
    explicit ObjectInserter(StoreWriter &w)
        : w_(w), object_(w.prepare(QStringLiteral(
                     "INSERT INTO OBJECTS_TREE (ID_THIS, NUMPP, NAME_MAX, DATE_1, TIME_1, DATE_2, TIME_2, NOTE, "
                     "MNEMO_CODE, INFO, ID_TYPE, ID_PARENT, PARENTS_ID, ITS_BASE, ITS_GLOBAL, ID_REF, ID_REF_NEAR) "
                     "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"))),
          prop_(w.prepare(QStringLiteral("INSERT INTO OBJECTS_PROP_NUMBER (ID_OWNER, ID_PROP, PROP_VAL) VALUES (?, ?, ?)")))
    {
    }

    void add(const ObjectRow &o, int numpp)
    {
        auto text = [](const QString &s) { return s.isEmpty() ? StoreValue() : StoreValue(s); };
        auto date = [](const QDate &d) { return d.isValid() ? StoreValue(QDateTime(d, QTime(0, 0))) : StoreValue(); };
        w_.run(object_, {o.id, qint64(numpp), o.name, date(o.date1), o.date1.isValid() ? StoreValue(QStringLiteral("08:00")) : StoreValue(),
                         date(o.date2), o.date2.isValid() ? StoreValue(QStringLiteral("17:00")) : StoreValue(), text(o.note),
                         text(o.mnemo), text(o.info), o.type, text(o.parentId), text(o.parentsPath), qint64(o.base),
                         qint64(o.parentId.isEmpty() ? 1 : 0), text(o.ref), text(o.refNear)});
    }

    void addValue(const QString &owner, const QString &prop, double value) { w_.run(prop_, {owner, prop, value}); }

private:
    StoreWriter &w_;
    StoreWriter::Statement object_;
    StoreWriter::Statement prop_;
};

QString childPath(const ObjectRow &parent)
{
    return parent.parentsPath + QStringLiteral("[") + parent.id + QStringLiteral("]");
}

} // namespace

void FillDemoStore(StoreWriter &w)
{
    fillCatalogs(w);
    ObjectInserter ins(w);
    int numpp = 0;
    auto add = [&](ObjectRow o) {
        ins.add(o, ++numpp);
        return o;
    };
    const ObjectRow plant = add({"0!1-0_0_1", "", "", "18", "Завод «Гидромаш»", "PLANT1", "Головное предприятие",
                                 "Машиностроительный завод.\nПроизводство насосного оборудования.\nОснован в 1958 году.",
                                 QDate(1958, 5, 1), QDate(2030, 12, 31)});
    const ObjectRow shop1 = add({"0!1-0_0_2", plant.id, childPath(plant), "19", "Цех насосный №1", "SHOP1",
                                 "Сборка и испытания насосов", "Цех сборки центробежных насосов.", QDate(1960, 1, 15),
                                 QDate(2030, 12, 31)});
    const ObjectRow shop2 = add({"0!1-0_0_3", plant.id, childPath(plant), "19", "Цех энергетический", "SHOP2",
                                 "Электроснабжение завода", "", QDate(1962, 3, 1), QDate(2030, 12, 31)});
    const ObjectRow sect1 = add({"0!1-0_0_4", shop1.id, childPath(shop1), "20", "Участок испытаний", "SECT1",
                                 "Стенды гидравлических испытаний", "", QDate(1975, 6, 1), QDate(2025, 6, 1)});
    const ObjectRow sect2 = add({"0!1-0_0_5", shop2.id, childPath(shop2), "20", "Участок насосной станции", "SECT2",
                                 "", "", QDate(1980, 1, 1), QDate()});
    const ObjectRow pump1 = add({"0!1-0_0_6", sect1.id, childPath(sect1), "10", "Насос К 80-50-200 стендовый",
                                 "PUMP1", "Инв. №1001", "Консольный центробежный насос.\nДавление до 0,5 МПа.\nПодача 50 м3/ч.",
                                 QDate(2005, 1, 10), QDate(2015, 1, 10)});
    const ObjectRow pump2 = add({"0!1-0_0_7", sect2.id, childPath(sect2), "11", "Насос ЦНС 38-88 питательный",
                                 "PUMP2", "Инв. №1002", "Многоступенчатый насос.\nТемпература среды до 105 °C.",
                                 QDate(2008, 3, 20), QDate(2028, 3, 20)});
    add({"0!1-0_0_8", sect2.id, childPath(sect2), "13", "Насос поршневой НП-3", "PUMP3", "Резервный", "",
         QDate(1999, 9, 9), QDate(2009, 9, 9)});
    const ObjectRow motor = add({"0!1-0_0_9", pump1.id, childPath(pump1), "14", "Электродвигатель АИР 132 насоса К 80",
                                 "MOTOR1", "Привод насоса", "Асинхронный двигатель 7,5 кВт, 2900 об/мин.",
                                 QDate(2005, 1, 10), QDate(2015, 1, 10)});
    add({"0!1-0_0_10", motor.id, childPath(motor), "15", "Осмотр двигателя АИР 132 (2006)", "INSP1",
         "Замечаний нет", "Проверены подшипники и изоляция обмоток.", QDate(2006, 2, 1), QDate(2006, 2, 2)});
    add({"0!1-0_0_11", pump2.id, childPath(pump2), "16", "Капитальный ремонт насоса ЦНС 38-88", "OVH1",
         "Замена рабочих колёс", "Ремонт выполнен подрядчиком.\nГарантия 12 месяцев.", QDate(2012, 7, 1),
         QDate(2012, 8, 15)});
    // Reference objects point at base objects of another branch.
    ObjectRow refPump{"0!1-0_0_12", shop2.id, childPath(shop2), "10", "Ссылка: насос К 80-50-200 (на стенде)",
                      "PUMP1_REF", "Используется энергоцехом", "", QDate(2010, 1, 1), QDate(2012, 12, 31)};
    refPump.base = 0;
    refPump.ref = pump1.id;
    refPump.refNear = pump1.id;
    add(refPump);
    ObjectRow refWork{"0!1-0_0_13", sect2.id, childPath(sect2), "15", "Ссылка: осмотр двигателя (копия)", "INSP1_REF",
                      "", "", QDate(2006, 2, 1), QDate(2006, 2, 2)};
    refWork.base = 0;
    refWork.ref = "0!1-0_0_10";
    refWork.refNear = "0!1-0_0_10";
    add(refWork);
    add({"0!1-0_0_14", plant.id, childPath(plant), "12", "Насосный агрегат (типовой проект)", "UNIT_TPL",
         "Абстрактный шаблон", "", QDate(), QDate()});
    ObjectRow abstractRef{"0!1-0_0_15", shop1.id, childPath(shop1), "17", "Работа по регламенту (ссылка)", "WORK_REF",
                          "", "", QDate(), QDate()};
    abstractRef.base = 0;
    add(abstractRef);
    add({"0!1-0_0_16", shop1.id, childPath(shop1), "21", "Прибор неизвестного вида", "ODD1", "Вид не 1 и не 2", "",
         QDate(2001, 1, 1), QDate()});
    add({"0!1-0_0_17", shop1.id, childPath(shop1), "999", "Объект удалённого типа", "LOST_TYPE",
         "Тип отсутствует в справочнике", "", QDate(2003, 4, 5), QDate()});
    add({"0!1-0_0_18", plant.id, childPath(plant), "19", "Склад O'Neill (импорт)", "STORE_QUOTE",
         "Название с апострофом", "", QDate(2011, 11, 11), QDate()});

    ins.addValue(pump1.id, "27", 0.5);
    ins.addValue(pump1.id, "28", 50);
    ins.addValue(pump1.id, "29", 20);
    ins.addValue(pump2.id, "27", 8.8);
    ins.addValue(pump2.id, "28", 38);
    ins.addValue(pump2.id, "29", 105);
    ins.addValue("0!1-0_0_8", "27", 1.6);
    ins.addValue(motor.id, "30", 7.5);
    ins.addValue(motor.id, "31", 2900);
    w.commit();
}

void FillGeneratedStore(StoreWriter &w, long long objects)
{
    fillCatalogs(w);
    ObjectInserter ins(w);
    static const char *const kTypes[] = {"10", "11", "12", "13", "14", "15", "16", "17", "20"};
    static const char *const kWords[] = {"Насос", "Двигатель", "Задвижка", "Трубопровод", "Резервуар",
                                         "Компрессор", "Теплообменник", "Вентилятор"};
    // Ten roots; every object has up to ten children: a tree as deep as N needs.
    std::vector<ObjectRow> parents;
    for (long long i = 0; i < objects; ++i) {
        ObjectRow o;
        o.id = QStringLiteral("9-%1").arg(i + 1);
        if (i >= 10) {
            const ObjectRow &p = parents[std::size_t((i - 10) / 10)];
            o.parentId = p.id;
            o.parentsPath = childPath(p);
        }
        o.type = QString::fromLatin1(kTypes[i % 9]);
        o.name = QStringLiteral("%1 №%2").arg(QString::fromUtf8(kWords[i % 8])).arg(i + 1);
        o.mnemo = QStringLiteral("OBJ%1").arg(i + 1);
        o.note = QStringLiteral("Примечание к объекту %1").arg(i + 1);
        if (i % 10 == 0)
            o.info = QStringLiteral("Детальное описание объекта %1.\nСтрока вторая.").arg(i + 1);
        o.date1 = QDate(2000, 1, 1).addDays(i % 7000);
        o.date2 = o.date1.addYears(10);
        o.base = i % 7 == 0 ? 0 : 1;
        ins.add(o, int(i % 1000000));
        ins.addValue(o.id, QString::number(27 + i % 5), double(i % 1000) / 10.0);
        // Only the first tenth can have children; keep their paths.
        if (std::size_t(parents.size()) < std::size_t(objects / 10 + 1))
            parents.push_back(o);
        if ((i + 1) % 20000 == 0) {
            w.commit();
            std::fprintf(stderr, "\r%lld objects", i + 1);
        }
    }
    w.commit();
    std::fprintf(stderr, "\r%lld objects\n", objects);
}
