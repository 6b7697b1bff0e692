#include "support/app_error.h"

#include <QtGlobal>

namespace {

ErrorSink &sink()
{
    static ErrorSink instance;
    return instance;
}

} // namespace

QString ErrorText(const std::exception &e)
{
    if (const auto *app = dynamic_cast<const AppError *>(&e))
        return app->message();
    return QString::fromLocal8Bit(e.what());
}

void ReportError(const std::exception &e)
{
    const QString text = ErrorText(e);
    if (sink())
        sink()(text);
    else
        qWarning("%s", qUtf8Printable(text));
}

void SetErrorSink(ErrorSink s)
{
    sink() = std::move(s);
}
