#include "query/condition_file.h"

#include "support/app_error.h"
#include "support/codec_1251.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

QStringList ReadConditionFile(const QString &path)
{
    const QString shown = QDir::toNativeSeparators(path);
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        throw AppError(QStringLiteral("Не удалось прочитать файл условия:\n%1\n%2").arg(shown, file.errorString()));
    if (file.size() > kConditionFileMaxBytes)
        throw AppError(QStringLiteral("Файл условия слишком велик (больше 1 МБ):\n%1").arg(shown));
    const QByteArray bytes = file.read(kConditionFileMaxBytes + 1);
    if (bytes.size() > kConditionFileMaxBytes)
        throw AppError(QStringLiteral("Файл условия слишком велик (больше 1 МБ):\n%1").arg(shown));
    if (bytes.contains('\0'))
        throw AppError(QStringLiteral("Это не текстовый файл условия:\n%1").arg(shown));
    QString text = Cp1251::decode(bytes);
    if (text.endsWith(QLatin1String("\r\n")))
        text.chop(2);
    else if (text.endsWith(QChar('\n')))
        text.chop(1);
    if (text.isEmpty() && bytes.isEmpty())
        return {};
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return text.split(QChar('\n'));
}

void WriteConditionFile(const QString &path, const QStringList &lines)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(Cp1251::encodeLines(lines)) < 0 || !file.commit())
        throw AppError(QStringLiteral("Не удалось записать файл условия:\n%1\n%2")
                           .arg(QDir::toNativeSeparators(path), file.errorString()));
}

QStringList WithRecentFile(const QStringList &recent, const QString &path)
{
    const QString clean = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    QStringList list{clean};
    for (const QString &p : recent)
        if (p != clean && !p.isEmpty() && list.size() < kRecentConditions)
            list << p;
    return list;
}
