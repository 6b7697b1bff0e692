#include "demo_content.h"

#include "demo_catalogs.h"
#include "demo_objects.h"
#include "store_writer.h"

#include <QDate>
#include <QStringList>
#include <cstdio>
#include <vector>

void FillDemoStore(StoreWriter &w)
{
    FillDemoCatalogs(w);
    FillDemoObjects(w);
}

void FillGeneratedStore(StoreWriter &w, long long objects)
{
    FillDemoCatalogs(w);
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
            o.parentsPath = p.childPath();
        }
        o.type = QString::fromLatin1(kTypes[i % 9]);
        o.name = QStringLiteral("%1 №%2").arg(QString::fromUtf8(kWords[i % 8])).arg(i + 1);
        o.mnemo = QStringLiteral("OBJ%1").arg(i + 1);
        o.note = QStringLiteral("Примечание к объекту %1").arg(i + 1);
        if (i % 10 == 0)
            o.info = QStringLiteral("Детальное описание объекта %1.\nСтрока вторая.").arg(i + 1);
        o.date1 = QDate(2000, 1, 1).addDays(i % 7000);
        o.date2 = o.date1.addYears(10);
        o.time1 = QStringLiteral("08:00");
        o.time2 = QStringLiteral("17:00");
        o.base = i % 7 == 0 ? 0 : 1;
        o.global = i < 10 ? 1 : 0;
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
