#include "db/engine_messages.h"

#include "db/engine_lock_folder.h"

#include <cerrno>
#include <ibase.h>
#include <initializer_list>

namespace {

// One row: the advice applies when the status holds one of the codes, and,
// where given, one of the system's error numbers and an argument. The first
// row that applies wins, so the narrow rows come before the wide ones.
struct Row {
    std::initializer_list<long> codes;
    std::initializer_list<int> osErrors; // empty: any
    const char *argument;                // null: any
    const char16_t *advice;              // "%1": the lock folder
};

const Row kRows[] = {
    {{isc_cancelled}, {}, nullptr, u"Запрос отменён."},
    {{isc_already_opened}, {}, nullptr,
     u"Файл базы данных занят другим процессом (например, сервером Firebird): встроенный сервер программы "
     u"не может открыть его одновременно с ним. Откройте базу данных через сервер, указав путь в виде "
     u"host:путь (например, localhost:/путь/к/базе.gdb)."},
    {{isc_sys_request, isc_lock_dir_access}, {}, nullptr,
     u"Встроенный сервер Firebird не может работать с папкой блокировок %1: укажите в переменной окружения "
     u"FIREBIRD_LOCK папку, в которую вы можете писать, или откройте базу данных через сервер (host:путь)."},
    {{isc_io_create_err}, {ENOENT, ENOTDIR}, nullptr,
     u"Папка для нового файла базы данных не существует: создайте её или выберите другую."},
    {{isc_io_error}, {ENOENT, ENOTDIR}, nullptr,
     u"Файл базы данных не найден: проверьте путь к нему или выберите файл заново."},
    {{isc_io_error}, {EACCES, EPERM, EROFS}, nullptr,
     u"Нет прав на файл базы данных или на его папку: файл должен быть доступен для чтения и записи вашему "
     u"пользователю (при подключении через сервер - пользователю, от имени которого работает сервер, обычно "
     u"firebird)."},
    {{isc_no_priv}, {}, "read-write",
     u"Нет прав на файл базы данных или на его папку: файл должен быть доступен для чтения и записи вашему "
     u"пользователю (при подключении через сервер - пользователю, от имени которого работает сервер, обычно "
     u"firebird)."},
    {{isc_net_lookup_err}, {}, nullptr,
     u"Компьютер с сервером базы данных не найден: проверьте его имя в пути вида host:путь."},
    {{isc_connect_reject, isc_network_error, isc_net_connect_err, isc_net_connect_listen_err}, {}, nullptr,
     u"Сервер базы данных недоступен, отказал в подключении или не отвечает: проверьте, что сервер Firebird "
     u"запущен, и имя компьютера и порт в пути вида host/порт:путь."},
    {{isc_net_read_err, isc_net_write_err, isc_conn_lost, isc_lost_db_connection}, {}, nullptr,
     u"Связь с сервером базы данных прервалась: проверьте, что сервер работает, и подключитесь к базе данных "
     u"снова."},
    {{isc_login}, {}, nullptr,
     u"Неверное имя пользователя или пароль: исправьте их в списке баз данных (\"База данных\" / "
     u"\"Список создать (редактировать)\")."},
    {{isc_wrong_ods}, {}, nullptr,
     u"Файл базы данных создан другой версией Firebird: откройте его сервером той версии или переведите его в "
     u"формат Firebird 3 (резервная копия и восстановление программой gbak)."},
    {{isc_bad_db_format, isc_db_corrupt, isc_badpage}, {}, nullptr,
     u"Файл не является базой данных Firebird или повреждён: выберите другой файл или восстановите базу данных "
     u"из резервной копии."},
    // Shorter than its header says.
    {{isc_io_error}, {}, "read",
     u"Файл не является базой данных Firebird или повреждён: выберите другой файл или восстановите базу данных "
     u"из резервной копии."},
};

bool applies(const Row &row, const EngineStatus &status)
{
    bool code = false;
    for (long c : row.codes)
        code = code || status.codes.contains(c);
    if (!code)
        return false;
    if (row.osErrors.size() > 0) {
        bool os = false;
        for (int e : row.osErrors)
            os = os || e == status.osError;
        if (!os)
            return false;
    }
    return !row.argument || status.arguments.contains(QLatin1String(row.argument));
}

} // namespace

QString EngineAdvice(const EngineStatus &status, const QString &lockFolder)
{
    for (const Row &row : kRows) {
        if (!applies(row, status))
            continue;
        QString text = QString::fromUtf16(row.advice);
        return text.contains(QLatin1String("%1")) ? text.arg(lockFolder) : text;
    }
    return QString();
}

QString EngineMessage(const EngineStatus &status, const QString &engineText, const QString &lockFolder)
{
    if (status.codes.contains(isc_cancelled))
        return kQueryCancelled;
    const QString advice = EngineAdvice(status, lockFolder);
    if (advice.isEmpty())
        return engineText;
    return engineText.isEmpty() ? advice : advice + QStringLiteral("\n\n") + engineText;
}

QString CurrentEngineLockFolder()
{
    const QString set = qEnvironmentVariable("FIREBIRD_LOCK");
    return set.isEmpty() ? kDefaultEngineLockFolder : set;
}

DbError CancelledError(const QString &text)
{
    return DbError(text, isc_cancelled);
}

bool IsCancel(const std::exception_ptr &error)
{
    try {
        if (error)
            std::rethrow_exception(error);
    } catch (const DbError &e) {
        return e.isCancelled();
    } catch (...) {
    }
    return false;
}
