#include "db/fb_api.h"

#include "support/codec_1251.h"

#include <vector>

namespace fb {

using namespace Firebird;

IMaster *master()
{
    static IMaster *m = fb_get_master_interface();
    return m;
}

IUtil *util()
{
    return master()->getUtilInterface();
}

IProvider *provider()
{
    static IProvider *p = master()->getDispatcher();
    return p;
}

QString formatStatus(IStatus *status)
{
    std::vector<char> buf(4096);
    const unsigned n = util()->formatStatus(buf.data(), unsigned(buf.size()), status);
    return Cp1251::decode(buf.data(), qsizetype(std::min<std::size_t>(n, buf.size()))).trimmed();
}

namespace {

bool holdsCode(const ISC_STATUS *v, ISC_STATUS code)
{
    // Pairs of argument kind and value; strings of kind isc_arg_cstring
    // take two values.
    while (v && *v != isc_arg_end) {
        if (v[0] == isc_arg_gds && v[1] == code)
            return true;
        v += v[0] == isc_arg_cstring ? 3 : 2;
    }
    return false;
}

} // namespace

DbError errorOf(IStatus *status)
{
    const ISC_STATUS *errors = status->getErrors();
    const long code = errors && errors[0] == isc_arg_gds ? long(errors[1]) : 0;
    char state[FB_SQLSTATE_SIZE] = {};
    if (errors)
        fb_sqlstate(state, errors);
    QString text = formatStatus(status);
    if (holdsCode(errors, isc_already_opened))
        text = QStringLiteral("Файл базы данных занят другим процессом (например, сервером Firebird): "
                              "встроенный сервер программы не может открыть его одновременно с ним. "
                              "Откройте базу данных через сервер, указав путь в виде host:путь "
                              "(например, localhost:%1).\n")
                   .arg(QStringLiteral("/путь/к/базе.gdb"))
               + text;
    return DbError(text, code, QString::fromLatin1(state));
}

Status::Status() : raw_(master()->getStatus()), wrapper_(raw_) {}

Status::~Status()
{
    raw_->dispose();
}

QByteArray connectionParams(const QString &user, const QString &password, const QString &role,
                            bool create, bool withoutDatabaseTriggers)
{
    Status st;
    return check([&] {
        Handle<IXpbBuilder> dpb(util()->getXpbBuilder(st.get(), IXpbBuilder::DPB, nullptr, 0));
        dpb->insertString(st.get(), isc_dpb_user_name, Cp1251::encode(user).constData());
        dpb->insertString(st.get(), isc_dpb_password, Cp1251::encode(password).constData());
        dpb->insertString(st.get(), isc_dpb_lc_ctype, "WIN1251");
        dpb->insertInt(st.get(), isc_dpb_sql_dialect, 1);
        // A server that accepts the connection and never answers must not
        // hold the program for minutes.
        dpb->insertInt(st.get(), isc_dpb_connect_timeout, kConnectTimeoutSeconds);
        if (!role.isEmpty())
            dpb->insertString(st.get(), isc_dpb_sql_role_name, Cp1251::encode(role).constData());
        if (withoutDatabaseTriggers)
            dpb->insertInt(st.get(), isc_dpb_no_db_triggers, 1);
        if (create) {
            dpb->insertString(st.get(), isc_dpb_set_db_charset, "WIN1251");
            dpb->insertInt(st.get(), isc_dpb_set_db_sql_dialect, 1);
        }
        return QByteArray(reinterpret_cast<const char *>(dpb->getBuffer(st.get())),
                          int(dpb->getBufferLength(st.get())));
    });
}

Handle<IAttachment> attach(const QString &databaseName, const QString &user, const QString &password, const QString &role,
                    bool create, bool withoutDatabaseTriggers)
{
    const QByteArray dpb = connectionParams(user, password, role, create, withoutDatabaseTriggers);
    const QByteArray name = Cp1251::encode(databaseName);
    const auto *params = reinterpret_cast<const unsigned char *>(dpb.constData());
    Status st;
    return Handle<IAttachment>(check([&] {
        return create ? provider()->createDatabase(st.get(), name.constData(), unsigned(dpb.size()), params)
                      : provider()->attachDatabase(st.get(), name.constData(), unsigned(dpb.size()), params);
    }));
}

} // namespace fb
