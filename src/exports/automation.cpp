#include "exports/automation.h"

#include "exports/xlsx_backend.h"
#include "support/app_error.h"

#include <QDateTime>
#include <QStringList>

namespace {

enum class Kind { Application, Window, Workbooks, Workbook, Worksheets, Sheet, PageSetup, Range, Font, Border, Interior };

struct AutoObject {
    Kind kind;
    std::shared_ptr<AutomationBackend> backend;
    QString path;   // how the object was reached, for the trace
    CellRect cells; // sheets and ranges and what belongs to a range
    int border = 0;
};
using AutoRef = std::shared_ptr<AutoObject>;

struct Omitted {};

AutomationServer &server()
{
    static AutomationServer instance;
    return instance;
}

} // namespace

Q_DECLARE_METATYPE(AutoRef)
Q_DECLARE_METATYPE(Omitted)

namespace {

AutoRef objectOf(const QVariant &v)
{
    if (!v.canConvert<AutoRef>() || v.userType() != qMetaTypeId<AutoRef>())
        throw AppError(AutomationError(QStringLiteral("значение не является объектом")));
    AutoRef o = v.value<AutoRef>();
    if (!o)
        throw AppError(AutomationError(QStringLiteral("пустой объект")));
    return o;
}

QVariant wrap(AutoRef o)
{
    return QVariant::fromValue(std::move(o));
}

AutoRef derive(const AutoRef &from, Kind kind, const QString &path)
{
    auto o = std::make_shared<AutoObject>(*from);
    o->kind = kind;
    o->path = path;
    return o;
}

QString join(const QString &path, const QString &member)
{
    return path.isEmpty() ? member : path + QChar('.') + member;
}

QString argText(const QVariant &v);

QString argsText(const QVariantList &args)
{
    if (args.isEmpty())
        return QString();
    QStringList parts;
    for (const QVariant &a : args)
        parts << argText(a);
    return QChar('(') + parts.join(QChar(',')) + QChar(')');
}

int intArg(const QVariantList &args, int i, const QString &member)
{
    bool ok = false;
    const int v = args.value(i).toInt(&ok);
    if (!ok)
        throw AppError(AutomationError(QStringLiteral("неверный аргумент %1 у %2").arg(i + 1).arg(member)));
    return v;
}

bool same(const QString &a, const char *b)
{
    return a.compare(QLatin1String(b), Qt::CaseInsensitive) == 0;
}

QString argText(const QVariant &v)
{
    if (v.userType() == qMetaTypeId<Omitted>())
        return QStringLiteral("<omitted>");
    if (v.userType() == qMetaTypeId<AutoRef>())
        return v.value<AutoRef>() ? v.value<AutoRef>()->path : QStringLiteral("Nothing");
    if (!v.isValid() || v.isNull())
        return QStringLiteral("Empty");
    switch (v.userType()) {
    case QMetaType::Bool:
        return v.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    case QMetaType::QString:
        return QChar('"') + v.toString() + QChar('"');
    case QMetaType::QDateTime:
        return v.toDateTime().toString(Qt::ISODate);
    case QMetaType::QDate:
        return v.toDate().toString(Qt::ISODate);
    case QMetaType::QVariantList: {
        QStringList parts;
        for (const QVariant &e : v.toList())
            parts << argText(e);
        return QChar('[') + parts.join(QStringLiteral(", ")) + QChar(']');
    }
    default:
        return v.toString();
    }
}

} // namespace

void SetAutomationServer(AutomationServer s)
{
    server() = std::move(s);
}

QString AutomationError(const QString &what)
{
    return QStringLiteral("Ошибка вызова программы электронных таблиц: %1").arg(what);
}

QVariant OmittedArgument()
{
    return QVariant::fromValue(Omitted{});
}

QVariant CreateAutomationObject(const QString &progId)
{
    if (!same(progId, "Excel.Application"))
        throw AppError(AutomationError(QStringLiteral("класс \"%1\" не зарегистрирован").arg(progId)));
    auto o = std::make_shared<AutoObject>();
    o->kind = Kind::Application;
    o->backend = server() ? server()(progId) : std::make_shared<XlsxBackend>();
    if (!o->backend)
        throw AppError(AutomationError(QStringLiteral("класс \"%1\" не создан").arg(progId)));
    o->backend->trace(QStringLiteral("CreateObject(\"%1\")").arg(progId));
    return wrap(o);
}

std::shared_ptr<AutomationBackend> AutomationBackendOf(const QVariant &obj)
{
    if (obj.userType() != qMetaTypeId<AutoRef>() || !obj.value<AutoRef>())
        return nullptr;
    return obj.value<AutoRef>()->backend;
}

QVariant AutoGet(const QVariant &obj, const QString &member, const QVariantList &args)
{
    const AutoRef o = objectOf(obj);
    // Names are made for the trace only (and for errors).
    const bool tracing = o->backend->tracing();
    const QString path = tracing ? join(o->path, member + argsText(args)) : QString();
    auto fail = [&] {
        throw AppError(AutomationError(QStringLiteral("нет свойства %1").arg(join(o->path, member + argsText(args)))));
    };
    QVariant result;
    switch (o->kind) {
    case Kind::Application:
        if (same(member, "Workbooks"))
            result = wrap(derive(o, Kind::Workbooks, path));
        else if (same(member, "ActiveWorkBook") || same(member, "ActiveWindow")) {
            if (!o->backend->hasWorkbook())
                throw AppError(AutomationError(QStringLiteral("нет активной книги")));
            // The window shows the first sheet, the one a new workbook opens on.
            result = wrap(derive(o, same(member, "ActiveWindow") ? Kind::Window : Kind::Workbook, path));
        } else
            fail();
        break;
    case Kind::Workbook:
        if (!same(member, "WorkSheets"))
            fail();
        if (args.isEmpty()) {
            result = wrap(derive(o, Kind::Worksheets, path));
        } else {
            const int index = intArg(args, 0, member);
            if (index < 1 || index > o->backend->sheetCount())
                throw AppError(AutomationError(QStringLiteral("нет листа %1").arg(index)));
            AutoRef sheet = derive(o, Kind::Sheet, tracing ? QStringLiteral("Sheet%1").arg(index) : QString());
            sheet->cells.sheet = index;
            result = wrap(sheet);
        }
        break;
    case Kind::Worksheets:
        if (!same(member, "Count"))
            fail();
        result = o->backend->sheetCount();
        break;
    case Kind::Sheet:
        if (same(member, "Cells")) {
            AutoRef cell = derive(o, Kind::Range, path);
            cell->cells.row1 = cell->cells.row2 = intArg(args, 0, member);
            cell->cells.col1 = cell->cells.col2 = intArg(args, 1, member);
            result = wrap(cell);
        } else if (same(member, "Range")) {
            const AutoRef a = objectOf(args.value(0)), b = objectOf(args.value(1));
            // Named by the cells as the sheet knows them.
            const QString prefix = o->path + QChar('.');
            AutoRef range = derive(o, Kind::Range,
                                   tracing ? join(o->path, QStringLiteral("Range(%1,%2)")
                                                               .arg(QString(a->path).remove(0, prefix.size()),
                                                                    QString(b->path).remove(0, prefix.size())))
                                           : QString());
            range->cells = {o->cells.sheet, std::min(a->cells.row1, b->cells.row1), std::min(a->cells.col1, b->cells.col1),
                            std::max(a->cells.row2, b->cells.row2), std::max(a->cells.col2, b->cells.col2)};
            result = wrap(range);
        } else if (same(member, "PageSetup")) {
            result = wrap(derive(o, Kind::PageSetup, path));
        } else
            fail();
        break;
    case Kind::Range:
        if (same(member, "Font"))
            result = wrap(derive(o, Kind::Font, path));
        else if (same(member, "Interior"))
            result = wrap(derive(o, Kind::Interior, path));
        else if (same(member, "Borders")) {
            AutoRef border = derive(o, Kind::Border, path);
            border->border = intArg(args, 0, member);
            result = wrap(border);
        } else
            fail();
        break;
    default:
        fail();
    }
    if (tracing)
        o->backend->trace(QStringLiteral("get ") + path);
    return result;
}

void AutoSet(const QVariant &obj, const QString &member, const QVariant &value, const QVariantList &args)
{
    const AutoRef o = objectOf(obj);
    if (o->backend->tracing())
        o->backend->trace(join(o->path, member + argsText(args)) + QStringLiteral(" = ") + argText(value));
    auto fail = [&] {
        throw AppError(AutomationError(QStringLiteral("нет свойства %1").arg(join(o->path, member + argsText(args)))));
    };
    static const char *const rangeProps[] = {"HorizontalAlignment", "VerticalAlignment", "WrapText", "Value",
                                             "ColumnWidth"};
    // A property of the sheet (its window, its page setup), by its name there.
    auto setSheet = [&](const QString &prefix, std::initializer_list<const char *> props) {
        for (const char *p : props) {
            if (same(member, p)) {
                o->backend->setSheet(o->cells.sheet, prefix + QLatin1String(p), value);
                return;
            }
        }
        fail();
    };
    switch (o->kind) {
    case Kind::Application:
        if (!same(member, "Visible"))
            fail();
        o->backend->setVisible(value.toBool());
        return;
    case Kind::Window:
        setSheet(QStringLiteral("Window."), {"SplitRow", "SplitColumn", "FreezePanes"});
        return;
    case Kind::Sheet:
        setSheet(QString(), {"Name"});
        return;
    case Kind::PageSetup:
        setSheet(QStringLiteral("PageSetup."), {"Orientation", "Zoom", "FitToPagesWide", "FitToPagesTall"});
        return;
    case Kind::Range:
        for (const char *p : rangeProps) {
            if (same(member, p)) {
                o->backend->setCells(o->cells, QString::fromLatin1(p), value);
                return;
            }
        }
        fail();
        return;
    case Kind::Font:
        for (const char *p : {"Color", "Size", "Bold", "Italic"}) {
            if (same(member, p)) {
                o->backend->setCells(o->cells, QStringLiteral("Font.") + QLatin1String(p), value);
                return;
            }
        }
        fail();
        return;
    case Kind::Border:
        for (const char *p : {"LineStyle", "Weight"}) {
            if (same(member, p)) {
                o->backend->setCells(o->cells, QStringLiteral("Borders(%1).%2").arg(o->border).arg(QLatin1String(p)),
                                     value);
                return;
            }
        }
        fail();
        return;
    case Kind::Interior:
        if (!same(member, "Color"))
            fail();
        o->backend->setCells(o->cells, QStringLiteral("Interior.Color"), value);
        return;
    default:
        fail();
    }
}

QVariant AutoCall(const QVariant &obj, const QString &method, const QVariantList &args)
{
    const AutoRef o = objectOf(obj);
    const QString path = join(o->path, method + (args.isEmpty() ? QStringLiteral("()") : argsText(args)));
    if (o->backend->tracing())
        o->backend->trace(path);
    if (o->kind == Kind::Workbooks && same(method, "Add")) {
        o->backend->addWorkbook();
        return QVariant();
    }
    if (o->kind == Kind::Range && same(method, "AutoFilter")) {
        o->backend->callCells(o->cells, QStringLiteral("AutoFilter"));
        return QVariant();
    }
    throw AppError(AutomationError(QStringLiteral("нет метода %1").arg(path)));
}
