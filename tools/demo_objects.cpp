#include "demo_objects.h"

#include <QHash>
#include <QStringList>
#include <cstring>
#include <tuple>
#include <vector>

ObjectInserter::ObjectInserter(StoreWriter &w)
    : w_(w), object_(w.prepare(QStringLiteral(
                 "INSERT INTO OBJECTS_TREE (ID_THIS, NUMPP, NAME_MAX, DATE_1, TIME_1, DATE_2, TIME_2, NOTE, "
                 "MNEMO_CODE, INFO, ID_TYPE, ID_PARENT, PARENTS_ID, ITS_BASE, ITS_GLOBAL, ID_REF, ID_REF_NEAR) "
                 "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"))),
      prop_(w.prepare(QStringLiteral("INSERT INTO OBJECTS_PROP_NUMBER (ID_OWNER, ID_PROP, PROP_VAL) VALUES (?, ?, ?)")))
{
}

void ObjectInserter::add(const ObjectRow &o, int numpp)
{
    auto text = [](const QString &s) { return s.isEmpty() ? StoreValue() : StoreValue(s); };
    auto date = [](const QDate &d) { return d.isValid() ? StoreValue(QDateTime(d, QTime(0, 0))) : StoreValue(); };
    w_.run(object_, {o.id, qint64(numpp), o.name, date(o.date1), text(o.time1), date(o.date2), text(o.time2),
                     text(o.note), text(o.mnemo), text(o.info), o.type, text(o.parentId), text(o.parentsPath),
                     qint64(o.base), qint64(o.global), text(o.ref), text(o.refNear)});
}

void ObjectInserter::addValue(const QString &owner, const QString &prop, double value)
{
    w_.run(prop_, {owner, prop, value});
}

namespace {

// A repeatable sequence of numbers, so that every demo store is the same.
class Dice {
public:
    int roll(int n)
    {
        state_ = state_ * 1103515245u + 12345u;
        return int((state_ >> 16) % unsigned(n));
    }
    double between(double low, double high, int decimals)
    {
        double scale = 1;
        for (int i = 0; i < decimals; ++i)
            scale *= 10;
        return low + double(roll(int((high - low) * scale) + 1)) / scale;
    }

private:
    unsigned state_ = 20091208u;
};

struct Model {
    const char *type;
    const char *name;
    const char *mnemo;
};

const Model kPumps[] = {{"10", "Насос К 80-50-200", "K80"},     {"10", "Насос К 100-65-250", "K100"},
                        {"11", "Насос ЦНС 38-88", "CNS38"},     {"22", "Насос Д 200-36", "D200"},
                        {"23", "Насос ЭЦВ 6-10-80", "ECV6"},    {"13", "Насос поршневой НП-3", "NP3"},
                        {"24", "Насос-дозатор НД 2,5 100/63", "ND25"}};
const Model kMotors[] = {{"14", "Электродвигатель АИР 132M2", "AIR132"},
                         {"14", "Электродвигатель АИР 160S4", "AIR160"},
                         {"25", "Электродвигатель ВА 180M4 взрывозащищённый", "VA180"}};
const Model kOther[] = {{"46", "Станок токарно-винторезный 16К20", "LATHE16K20"},
                        {"47", "Станок вертикально-фрезерный 6Р12", "MILL6R12"},
                        {"48", "Кран мостовой 5 т", "CRANE5"},
                        {"49", "Таль электрическая 1 т", "HOIST1"},
                        {"40", "Шкаф распределительный ШР-11", "SHR11"},
                        {"41", "Щит управления насосами ЩУН-2", "SCHUN2"},
                        {"42", "Задвижка клиновая 30с41нж Ду100", "GATE100"},
                        {"44", "Клапан обратный 19с38нж Ду80", "CHECK80"},
                        {"45", "Клапан предохранительный 17с28нж", "SAFETY17"}};

const char *const kSurnames[] = {"Петров", "Соколов", "Кузнецов", "Лебедев", "Морозов", "Волков", "Зайцев",
                                 "Павлов", "Семёнов", "Голубев", "Виноградов", "Богданов", "Воробьёв", "Фёдоров",
                                 "Михайлов", "Беляев", "Тарасов", "Белов", "Комаров", "Орлов"};
const char *const kInitials[] = {"А.И.", "С.П.", "В.Н.", "Н.К.", "Д.А.", "Е.В.", "И.С.", "М.Г.", "О.Л.", "П.Р."};

struct Shop {
    const char *name;
    const char *mnemo;
    const char *note;
    const char *sections[3];
};

const Shop kShops[] = {
    {"Цех насосный №1", "SHOP1", "Сборка и испытания центробежных насосов",
     {"Участок сборки насосов", "Участок испытаний", "Участок окраски и консервации"}},
    {"Цех механический №2", "SHOP2", "Механическая обработка корпусов и валов",
     {"Токарный участок", "Фрезерный участок", "Участок термообработки"}},
    {"Цех сборочный №3", "SHOP3", "Сборка насосных агрегатов на раме",
     {"Участок агрегатной сборки", "Участок электромонтажа", "Участок упаковки"}},
    {"Цех энергетический", "SHOP4", "Электроснабжение и водоснабжение завода",
     {"Участок насосной станции", "Участок подстанции", "Участок котельной"}},
    {"Цех ремонтный", "SHOP5", "Ремонт оборудования завода и заказчиков",
     {"Участок ремонта насосов", "Участок ремонта электродвигателей", "Участок ремонта арматуры"}},
};

class Tree {
public:
    explicit Tree(StoreWriter &w) : ins_(w) {}

    ObjectRow add(const ObjectRow *parent, const char *type, const QString &name, const QString &mnemo,
                  const QString &note = QString(), const QString &info = QString())
    {
        ObjectRow o;
        // Numbered with leading zeros: ordered by identifier, the objects
        // come in the order they were entered.
        o.id = QStringLiteral("0!1-0_0_%1").arg(++count_, 3, 10, QChar('0'));
        if (parent) {
            o.parentId = parent->id;
            o.parentsPath = parent->childPath();
        }
        o.type = QString::fromLatin1(type);
        o.name = name;
        o.mnemo = mnemo;
        o.note = note;
        o.info = info;
        return o;
    }
    // Dates from a start over some years; processes take a day with times.
    void period(ObjectRow &o, QDate start, int years, bool process)
    {
        o.date1 = start;
        if (process) {
            o.date2 = start.addDays(dice_.roll(3));
            o.time1 = QStringLiteral("08:00:00");
            o.time2 = QStringLiteral("17:00:00");
        } else if (years > 0) {
            o.date2 = start.addYears(years);
        }
    }
    void put(const ObjectRow &o) { ins_.add(o, numpp(o.parentId)); }
    void value(const ObjectRow &o, const char *prop, double v) { ins_.addValue(o.id, QString::fromLatin1(prop), v); }
    Dice &dice() { return dice_; }
    int count() const { return count_; }

    // Inspections and motors put so far, for the services' registers.
    std::vector<ObjectRow> inspections;
    std::vector<ObjectRow> motors;

private:
    int numpp(const QString &parent) { return ++siblings_[parent]; }

    ObjectInserter ins_;
    Dice dice_;
    int count_ = 0;
    QHash<QString, int> siblings_; // children put so far, by parent
};

QString person(Dice &d)
{
    return QStringLiteral("%1 %2").arg(QString::fromUtf8(kSurnames[d.roll(20)]), QString::fromUtf8(kInitials[d.roll(10)]));
}

// Work done on a piece of equipment: an inspection, sometimes a repair with
// a leak found during it, and for gauges a calibration.
void addWork(Tree &t, const ObjectRow &item, QDate from, bool gauge)
{
    Dice &d = t.dice();
    ObjectRow inspect = t.add(&item, "15", QStringLiteral("Осмотр: %1").arg(item.name), item.mnemo + QStringLiteral("_INSP"),
                              d.roll(3) ? QStringLiteral("Замечаний нет") : QStringLiteral("Повышенная вибрация"),
                              QStringLiteral("Проверены крепления, уплотнения и смазка.\nРезультат занесён в журнал."));
    t.period(inspect, from.addMonths(6 + d.roll(24)), 0, true);
    t.put(inspect);
    t.inspections.push_back(inspect);
    if (gauge) {
        ObjectRow calib = t.add(&item, "53", QStringLiteral("Поверка: %1").arg(item.name), item.mnemo + QStringLiteral("_CAL"),
                                QStringLiteral("Годен"));
        t.period(calib, from.addYears(1), 0, true);
        t.put(calib);
    }
    if (d.roll(3) == 0) {
        ObjectRow repair = t.add(&item, d.roll(2) ? "16" : "52", QStringLiteral("Ремонт: %1").arg(item.name),
                                 item.mnemo + QStringLiteral("_REP"), QStringLiteral("Замена изношенных деталей"),
                                 QStringLiteral("Разборка, дефектовка, замена подшипников.\nСборка и обкатка 2 ч."));
        t.period(repair, from.addYears(2 + d.roll(5)), 0, true);
        t.put(repair);
        t.value(repair, "77", d.between(15000, 250000, 2));
        ObjectRow leak = t.add(&repair, "55", QStringLiteral("Устранение утечки по уплотнению"),
                               repair.mnemo + QStringLiteral("_LEAK"));
        t.period(leak, repair.date1, 0, true);
        t.put(leak);
    }
}

// A pump with its motor and gauge, each with its work and values.
ObjectRow addPump(Tree &t, const ObjectRow &section, const Model &m, int number, QDate since)
{
    Dice &d = t.dice();
    ObjectRow pump = t.add(&section, m.type, QStringLiteral("%1 поз. Н-%2").arg(QString::fromUtf8(m.name)).arg(number),
                           QStringLiteral("%1_%2").arg(QLatin1String(m.mnemo)).arg(number),
                           QStringLiteral("Инв. №%1").arg(1000 + number),
                           QStringLiteral("Заводской номер %1.\nВвод в эксплуатацию: %2.\nОбслуживается по графику ППР.")
                               .arg(5000 + number * 7)
                               .arg(since.toString(QStringLiteral("dd.MM.yyyy"))));
    t.period(pump, since, 10 + d.roll(10), false);
    pump.global = number % 5 == 0 ? 1 : 0;
    t.put(pump);
    t.value(pump, "27", d.between(0.2, 2.5, 2));
    t.value(pump, "28", d.between(10, 400, 1));
    t.value(pump, "29", double(20 + d.roll(86)));
    t.value(pump, "32", d.between(20, 120, 1));
    t.value(pump, "33", d.between(55, 82, 1));
    t.value(pump, "73", double(1000 + d.roll(60000)));
    t.value(pump, "76", d.between(80000, 900000, 2));
    const Model &mm = kMotors[d.roll(3)];
    ObjectRow motor = t.add(&pump, mm.type, QStringLiteral("%1 привода Н-%2").arg(QString::fromUtf8(mm.name)).arg(number),
                            QStringLiteral("%1_%2").arg(QLatin1String(mm.mnemo)).arg(number), QStringLiteral("Привод насоса"));
    t.period(motor, since, 10, false);
    t.put(motor);
    t.motors.push_back(motor);
    t.value(motor, "30", d.between(5.5, 90, 1));
    t.value(motor, "31", d.roll(2) ? 2900 : 1450);
    t.value(motor, "36", 380);
    t.value(motor, "37", d.between(10, 160, 1));
    t.value(motor, "35", d.between(0.8, 0.92, 2));
    addWork(t, motor, since, false);
    ObjectRow gauge = t.add(&pump, "50", QStringLiteral("Манометр на напоре Н-%1").arg(number),
                            QStringLiteral("MAN_%1").arg(number), QStringLiteral("Класс точности 1,5"));
    t.period(gauge, since, 0, false);
    t.put(gauge);
    addWork(t, gauge, since, true);
    addWork(t, pump, since, false);
    return pump;
}

void addStaff(Tree &t, const ObjectRow &section, int index)
{
    Dice &d = t.dice();
    static const char *const kPosts[][2] = {{"67", "Мастер"}, {"65", "Слесарь-ремонтник"}, {"66", "Электромонтёр"},
                                            {"68", "Инженер-механик"}};
    for (int i = 0; i < 3; ++i) {
        const auto &post = kPosts[(index + i) % 4];
        ObjectRow p = t.add(&section, post[0], QStringLiteral("%1 %2").arg(QString::fromUtf8(post[1]), person(d)),
                            QStringLiteral("STAFF_%1_%2").arg(index).arg(i + 1), QStringLiteral("Табельный №%1").arg(300 + index * 3 + i));
        t.period(p, QDate(1995 + d.roll(25), 1 + d.roll(12), 1), 0, false);
        t.put(p);
        t.value(p, "78", double(1 + d.roll(30)));
        if (std::strcmp(post[0], "68") != 0)
            t.value(p, "79", double(3 + d.roll(4)));
    }
}

ObjectRow reference(Tree &t, const ObjectRow &parent, const ObjectRow &base, const QString &prefix,
                    const QString &mnemoSuffix, const QString &note)
{
    ObjectRow r = t.add(&parent, base.type.toLatin1().constData(), prefix + base.name, base.mnemo + mnemoSuffix, note);
    r.base = 0;
    r.ref = base.id;
    r.refNear = base.id;
    return r;
}

// The chief designer's typical projects, process charts and staff positions:
// objects of abstract types. Every shop refers to the projects it builds to.
// Returns the regulation that the template work refers to.
ObjectRow addTemplates(Tree &t, const ObjectRow &plant, const std::vector<ObjectRow> &shops)
{
    Dice &d = t.dice();
    ObjectRow design = t.add(&plant, "61", QStringLiteral("Служба главного конструктора"), QStringLiteral("OGK"),
                             QStringLiteral("Типовые проекты и технологические карты"),
                             QStringLiteral("Ведёт типовые проекты насосных агрегатов,\nтехнологические карты операций\n"
                                            "и штатное расписание ремонтных служб."));
    t.period(design, QDate(1962, 3, 1), 0, false);
    t.put(design);
    static const Model kTemplates[] = {
        {"12", "Насосный агрегат К 80-50-200 с двигателем 15 кВт (типовой проект ТП-101)", "TP101"},
        {"12", "Насосный агрегат ЦНС 38-88 на общей раме (типовой проект ТП-102)", "TP102"},
        {"12", "Насосный агрегат Д 200-36 (типовой проект ТП-103)", "TP103"},
        {"26", "Электропривод насоса до 30 кВт (типовое решение)", "TR_DRIVE30"},
        {"26", "Электропривод взрывозащищённый (типовое решение)", "TR_DRIVE_EX"},
        {"58", "Техкарта: гидравлические испытания корпуса насоса", "TK_HYDRO"},
        {"58", "Техкарта: балансировка рабочего колеса", "TK_BALANCE"},
        {"69", "Штатная единица: слесарь-ремонтник 5 разряда", "SHT_FITTER5"},
        {"69", "Штатная единица: электромонтёр 4 разряда", "SHT_ELEC4"},
        {"17", "Регламент: ежемесячный осмотр насосного агрегата", "REG_MONTHLY"},
    };
    std::vector<ObjectRow> projects;
    ObjectRow regulation;
    for (const Model &m : kTemplates) {
        ObjectRow o = t.add(&design, m.type, QString::fromUtf8(m.name), QString::fromLatin1(m.mnemo),
                            QStringLiteral("Утверждён главным конструктором"),
                            QStringLiteral("Типовой документ.\nПрименяется при проектировании и ремонте.\nРевизия %1.")
                                .arg(1 + d.roll(5)));
        t.period(o, QDate(2010 + d.roll(12), 1 + d.roll(12), 15), 0, false);
        t.put(o);
        if (o.type == QLatin1String("12"))
            projects.push_back(o);
        else if (o.type == QLatin1String("17"))
            regulation = o;
    }
    for (std::size_t i = 0; i < shops.size(); ++i) {
        ObjectRow r = reference(t, shops[i], projects[i % projects.size()], QStringLiteral("Ссылка: "),
                                QStringLiteral("_") + shops[i].mnemo, QStringLiteral("Применяется в цехе"));
        t.period(r, QDate(2012 + int(i), 9, 1), 0, false);
        t.put(r);
    }
    return regulation;
}

// The chief mechanic's maintenance schedule and the chief power engineer's
// register of motors: references to inspections and motors across the shops.
void addRegisters(Tree &t, const ObjectRow &mechanic, const ObjectRow &power)
{
    Dice &d = t.dice();
    const std::size_t inspections = 16;
    for (std::size_t i = 0; i < inspections; ++i) {
        const ObjectRow &base = t.inspections[i * t.inspections.size() / inspections];
        ObjectRow r = reference(t, mechanic, base, QStringLiteral("ППР-2026: "), QStringLiteral("_PPR"),
                                QStringLiteral("Включено в годовой график ППР"));
        t.period(r, QDate(2026, 1 + int(i % 12), 1 + d.roll(28)), 0, true);
        t.put(r);
    }
    const std::size_t motors = 12;
    for (std::size_t i = 0; i < motors; ++i) {
        const ObjectRow &base = t.motors[i * t.motors.size() / motors];
        ObjectRow r = reference(t, power, base, QStringLiteral("Учёт ОГЭ: "), QStringLiteral("_OGE"),
                                QStringLiteral("Состоит на учёте службы главного энергетика"));
        r.date1 = base.date1;
        r.date2 = base.date2;
        t.put(r);
    }
}

// The repair shop's express bay (a name in double quotes), a staff member
// whose surname has an apostrophe, devices of a kind that is neither object
// nor process, and customers' pumps whose type is not in the catalog.
void addOddities(Tree &t, const ObjectRow &repairShop, const std::vector<ObjectRow> &sections,
                 std::vector<ObjectRow> &pumps)
{
    Dice &d = t.dice();
    ObjectRow express = t.add(&repairShop, "20", QStringLiteral("Участок \"Экспресс-ремонт\""), QStringLiteral("EXPRESS"),
                              QStringLiteral("Срочный ремонт насосов заказчиков"));
    t.period(express, QDate(2021, 6, 1), 0, false);
    t.put(express);
    pumps.push_back(addPump(t, express, kPumps[0], 31, QDate(2021, 6, 15)));
    ObjectRow engineer = t.add(&sections[9], "68", QStringLiteral("Инженер-механик Д'Артемьев В.Н."),
                               QStringLiteral("STAFF_APOSTROPHE"), QStringLiteral("Табельный №412"));
    t.period(engineer, QDate(2018, 2, 1), 0, false);
    t.put(engineer);
    t.value(engineer, "78", 11);
    for (int i = 0; i < 3; ++i) {
        ObjectRow o = t.add(&sections[std::size_t(i * 4 + 1)], "21", QStringLiteral("Датчик вибрации без паспорта №%1").arg(i + 1),
                            QStringLiteral("ODD_SENSOR%1").arg(i + 1), QStringLiteral("Вид в справочнике не задан"));
        t.period(o, QDate(2019 + i, 4, 1), 0, false);
        t.put(o);
    }
    for (int i = 0; i < 2; ++i) {
        ObjectRow o = t.add(&sections[std::size_t(12 + i)], "999",
                            QStringLiteral("Насос заказчика №%1 (тип удалён из справочника)").arg(i + 1),
                            QStringLiteral("LOST_TYPE%1").arg(i + 2), QStringLiteral("Принят в ремонт"),
                            QStringLiteral("Паспорт утерян.\nМарка уточняется у заказчика."));
        t.period(o, QDate(2025, 10 + i, 1 + d.roll(28)), 0, false);
        t.put(o);
    }
}

} // namespace

void FillDemoObjects(StoreWriter &w)
{
    Tree t(w);
    Dice &d = t.dice();
    ObjectRow plant = t.add(nullptr, "18", QStringLiteral("Завод «Гидромаш»"), QStringLiteral("PLANT"),
                            QStringLiteral("Головное предприятие"),
                            QStringLiteral("Машиностроительный завод.\nПроизводство и ремонт насосного оборудования.\n"
                                           "Основан в 1958 году."));
    t.period(plant, QDate(1958, 5, 1), 72, false);
    plant.global = 1;
    t.put(plant);

    std::vector<ObjectRow> pumps, shops, sections, services;
    int pumpNumber = 0;
    int sectionIndex = 0;
    for (const Shop &shop : kShops) {
        ObjectRow s = t.add(&plant, "19", QString::fromUtf8(shop.name), QString::fromLatin1(shop.mnemo),
                            QString::fromUtf8(shop.note));
        t.period(s, QDate(1958 + d.roll(20), 1 + d.roll(12), 1), 0, false);
        t.put(s);
        shops.push_back(s);
        for (const char *sectionName : shop.sections) {
            ObjectRow sec = t.add(&s, "20", QString::fromUtf8(sectionName),
                                  QStringLiteral("%1_S%2").arg(QString::fromLatin1(shop.mnemo)).arg(++sectionIndex));
            t.period(sec, s.date1.addYears(d.roll(10)), 0, false);
            t.put(sec);
            sections.push_back(sec);
            t.value(sec, "70", d.between(150, 1800, 1));
            for (int i = 0; i < 2; ++i) {
                const Model &m = kPumps[d.roll(7)];
                pumps.push_back(addPump(t, sec, m, ++pumpNumber, QDate(1995 + d.roll(28), 1 + d.roll(12), 1 + d.roll(28))));
            }
            for (int i = 0; i < 2; ++i) {
                const Model &m = kOther[d.roll(9)];
                ObjectRow item = t.add(&sec, m.type, QStringLiteral("%1 инв. №%2").arg(QString::fromUtf8(m.name)).arg(2000 + t.count()),
                                       QStringLiteral("%1_%2").arg(QLatin1String(m.mnemo)).arg(t.count()));
                t.period(item, QDate(1985 + d.roll(35), 1 + d.roll(12), 1), 15 + d.roll(10), false);
                t.put(item);
                t.value(item, "38", double(50 + d.roll(3000)));
                if (QLatin1String(m.type) == QLatin1String("48") || QLatin1String(m.type) == QLatin1String("49"))
                    t.value(item, "72", QLatin1String(m.type) == QLatin1String("48") ? 5 : 1);
                addWork(t, item, item.date1, false);
            }
            addStaff(t, sec, sectionIndex);
        }
    }

    // The energy shop's pumping station uses pumps that belong to the pump
    // shop's test bay: reference objects pointing at them.
    ObjectRow station = t.add(&plant, "64", QStringLiteral("Насосная станция «Северная»"), QStringLiteral("STATION_N"),
                              QStringLiteral("Оборотное водоснабжение"),
                              QStringLiteral("Здание 1978 года.\nДва машинных зала."));
    t.period(station, QDate(1978, 9, 1), 0, false);
    t.put(station);
    t.value(station, "70", 640);
    t.value(station, "71", 3850);
    for (int i = 0; i < 4; ++i) {
        const ObjectRow &base = pumps[std::size_t(i)];
        ObjectRow ref = t.add(&station, base.type.toLatin1().constData(), QStringLiteral("Ссылка: %1").arg(base.name),
                              base.mnemo + QStringLiteral("_REF"), QStringLiteral("Передан во временное пользование"));
        ref.base = 0;
        ref.ref = base.id;
        ref.refNear = base.id;
        t.period(ref, QDate(2015 + i, 3, 1), 2, false);
        t.put(ref);
        // A reference to the reference: the nearest is the first one.
        if (i == 0) {
            ObjectRow second = t.add(&ref, "15", QStringLiteral("Ссылка: осмотр по месту установки"),
                                     QStringLiteral("REF_INSP"));
            second.base = 0;
            second.ref = base.id;
            second.refNear = ref.id;
            t.period(second, QDate(2016, 4, 12), 0, true);
            t.put(second);
        }
    }

    for (const auto &[type, name, mnemo, note] :
         {std::tuple{"62", "Производственный корпус №1", "HOUSE1", "Цеха №1 и №3"},
          std::tuple{"63", "Склад готовой продукции", "STORE1", "Отгрузка заказчикам"},
          std::tuple{"63", "Склад О'Нил (импортные комплектующие)", "STORE_QUOTE", "Название с апострофом"},
          std::tuple{"61", "Служба главного механика", "OGM", "Планирование ремонтов"},
          std::tuple{"61", "Служба главного энергетика", "OGE", "Электрохозяйство завода"}}) {
        ObjectRow o = t.add(&plant, type, QString::fromUtf8(name), QString::fromLatin1(mnemo), QString::fromUtf8(note));
        t.period(o, QDate(1960 + d.roll(40), 1, 1), 0, false);
        t.put(o);
        services.push_back(o);
        if (QLatin1String(type) != QLatin1String("61"))
            t.value(o, "70", d.between(300, 5000, 0));
    }
    ObjectRow northShop = t.add(&plant, "19", QStringLiteral("Цех \"Северный\" (строится)"), QStringLiteral("SHOP_NORTH"),
                                QStringLiteral("Название в кавычках"));
    t.period(northShop, QDate(2026, 1, 1), 3, false);
    t.put(northShop);
    // Rows that show the faults the program marks.
    ObjectRow tpl = t.add(&plant, "12", QStringLiteral("Насосный агрегат (типовой проект)"), QStringLiteral("UNIT_TPL"),
                          QStringLiteral("Объект абстрактного типа"));
    t.put(tpl);
    ObjectRow tplRef = t.add(&tpl, "17", QStringLiteral("Работа по регламенту (шаблон)"), QStringLiteral("WORK_TPL"));
    tplRef.base = 0;
    ObjectRow odd = t.add(&plant, "21", QStringLiteral("Прибор неизвестного вида"), QStringLiteral("ODD1"),
                          QStringLiteral("Вид типа не объект и не процесс"));
    t.period(odd, QDate(2001, 1, 1), 0, false);
    t.put(odd);
    ObjectRow lost = t.add(&plant, "999", QStringLiteral("Объект удалённого типа"), QStringLiteral("LOST_TYPE"),
                           QStringLiteral("Тип отсутствует в справочнике"));
    t.period(lost, QDate(2003, 4, 5), 0, false);
    t.put(lost);

    // Added last, so that the identifiers above do not depend on what follows.
    const ObjectRow regulation = addTemplates(t, plant, shops);
    tplRef.ref = regulation.id;
    tplRef.refNear = regulation.id;
    t.put(tplRef);
    addRegisters(t, services[3], services[4]);
    addOddities(t, shops[4], sections, pumps);
    // Two properties measured to thousandths.
    for (const ObjectRow &pump : pumps) {
        t.value(pump, "80", d.between(0.15, 0.6, 3));
        t.value(pump, "81", d.between(0.85, 1.1, 3));
    }
    w.commit();
}
