#include "db/fb_api.h"

#include "db/engine_messages.h"
#include "support/codec_1251.h"

#include <QStringDecoder>
#include <QStringList>
#include <cerrno>
#include <cstring>
#include <utility>
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
    // A file name comes back as the file system has it (UTF-8), the store's
    // names and values in WIN1251: each line is read in the one it is in.
    // Windows-1251 letters hardly ever form valid UTF-8.
    const QByteArray text(buf.data(), qsizetype(std::min<std::size_t>(n, buf.size())));
    QStringList lines;
    for (const QByteArray &line : text.split('\n')) {
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString decoded = utf8.decode(line);
        lines << (utf8.hasError() ? Cp1251::decode(line) : decoded);
    }
    return lines.join(QChar('\n')).trimmed();
}

namespace {

// The system's error number whose text this is, for the numbers the
// messages tell apart; 0 for any other text. A server writes the text of its
// own language: the C library's English, or this system's.
int osErrorOfText(const char *text)
{
    static const std::pair<int, const char *> kEnglish[] = {
        {ENOENT, "No such file or directory"}, {ENOTDIR, "Not a directory"}, {EACCES, "Permission denied"},
        {EPERM, "Operation not permitted"},    {EROFS, "Read-only file system"},
    };
    for (const auto &[e, english] : kEnglish)
        if (std::strcmp(text, english) == 0 || std::strcmp(text, std::strerror(e)) == 0)
            return e;
    return 0;
}

// The codes, the system's error number and the string arguments of a status
// vector: pairs of argument kind and value; strings of kind isc_arg_cstring
// take two values.
EngineStatus engineStatus(const ISC_STATUS *v)
{
    EngineStatus status;
    while (v && *v != isc_arg_end) {
        switch (v[0]) {
        case isc_arg_gds:
            status.codes.append(long(v[1]));
            break;
        case isc_arg_unix:
            if (status.osError == 0)
                status.osError = int(v[1]);
            break;
        case isc_arg_string:
            status.arguments.append(QString::fromUtf8(reinterpret_cast<const char *>(v[1])));
            break;
        case isc_arg_interpreted:
            // Through a server the system's error comes as its text only.
            status.arguments.append(QString::fromUtf8(reinterpret_cast<const char *>(v[1])));
            if (status.osError == 0)
                status.osError = osErrorOfText(reinterpret_cast<const char *>(v[1]));
            break;
        case isc_arg_cstring:
            status.arguments.append(QString::fromUtf8(reinterpret_cast<const char *>(v[2]), qsizetype(v[1])));
            break;
        default:
            break;
        }
        v += v[0] == isc_arg_cstring ? 3 : 2;
    }
    return status;
}

} // namespace

DbError errorOf(IStatus *status)
{
    const ISC_STATUS *errors = status->getErrors();
    const long code = errors && errors[0] == isc_arg_gds ? long(errors[1]) : 0;
    char state[FB_SQLSTATE_SIZE] = {};
    if (errors)
        fb_sqlstate(state, errors);
    const QString text = EngineMessage(engineStatus(errors), formatStatus(status), CurrentEngineLockFolder());
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
        // Every string of the block is UTF-8, the file name too: a path is
        // the file system's, whatever letters it holds, not text of the store.
        dpb->insertTag(st.get(), isc_dpb_utf8_filename);
        dpb->insertString(st.get(), isc_dpb_user_name, user.toUtf8().constData());
        dpb->insertString(st.get(), isc_dpb_password, password.toUtf8().constData());
        dpb->insertString(st.get(), isc_dpb_lc_ctype, "WIN1251");
        dpb->insertInt(st.get(), isc_dpb_sql_dialect, 1);
        // A server that accepts the connection and never answers must not
        // hold the program for minutes.
        dpb->insertInt(st.get(), isc_dpb_connect_timeout, kConnectTimeoutSeconds);
        if (!role.isEmpty())
            dpb->insertString(st.get(), isc_dpb_sql_role_name, role.toUtf8().constData());
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
    const QByteArray name = databaseName.toUtf8();
    const auto *params = reinterpret_cast<const unsigned char *>(dpb.constData());
    Status st;
    return Handle<IAttachment>(check([&] {
        return create ? provider()->createDatabase(st.get(), name.constData(), unsigned(dpb.size()), params)
                      : provider()->attachDatabase(st.get(), name.constData(), unsigned(dpb.size()), params);
    }));
}

} // namespace fb
