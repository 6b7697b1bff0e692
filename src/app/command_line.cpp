#include "app/command_line.h"

#include "app/version.h"
#include "support/str_utils.h"

#include <QCommandLineParser>
#include <QDir>
#include <cstdio>

namespace {

// The options every Qt program takes; the application object removes them
// from the arguments when it is created, after this parse.
const char *const kToolkitValueOptions[] = {"platform", "platformpluginpath", "platformtheme", "plugin",
                                            "qwindowgeometry", "qwindowicon", "qwindowtitle", "session",
                                            "display", "geometry", "style", "stylesheet", "qmljsdebugger",
                                            "dialogs", "fontengine"};
const char *const kToolkitFlagOptions[] = {"reverse", "widgetcount"};

QString helpText(const QString &startupDir)
{
    return QStringLiteral(
               "Использование: VRKX_Query [параметры] [STORE]\n"
               "Генератор запросов к хранилищу объектов VeldaRunKX (база данных Firebird).\n"
               "\n"
               "Аргументы:\n"
               "  STORE          хранилище, с которым программа работает в этот раз вместо\n"
               "                 запомненного: путь к файлу (/data/store.gdb) или сервер:путь\n"
               "                 (localhost:/data/store.gdb). Открытое хранилище запоминается,\n"
               "                 как при выборе в меню \"База данных\" / \"Выбрать\".\n"
               "\n"
               "Параметры:\n"
               "  -h, --help     показать эту справку и выйти\n"
               "  -v, --version  показать версию и выйти\n"
               "\n"
               "Файлы программы (VRKX_Query.ini, VRKX_LocalList_DB.txt, VRKX_DB_01.GDB,\n"
               "папки Export, Import, Tree_Images) хранятся в папке:\n"
               "  %1\n")
        .arg(QDir::toNativeSeparators(startupDir));
}

// The argument that named an unknown option, as the user typed it.
QString typedOption(const QStringList &arguments, const QString &name)
{
    for (const QString &a : arguments.mid(1)) {
        if (a == QLatin1String("--"))
            break;
        const QString option = a.section(QChar('='), 0, 0);
        qsizetype dashes = 0;
        while (dashes < option.size() && option[dashes] == QChar('-'))
            ++dashes;
        if (dashes > 0 && option.mid(dashes) == name)
            return option;
    }
    return name;
}

CommandLine refused(const QString &reason)
{
    return {CommandLine::Action::Error, QString(),
            QStringLiteral("VRKX_Query: %1\nСправка: VRKX_Query --help\n").arg(reason)};
}

} // namespace

QStringList ArgumentList(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

CommandLine ParseCommandLine(const QStringList &arguments, const QString &startupDir, const QString &workingDir)
{
    QCommandLineParser parser;
    // Qt's own options are written with one dash: -platform offscreen.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help(QStringList{"h", "help", "?"});
    const QCommandLineOption version(QStringList{"v", "version"});
    parser.addOption(help);
    parser.addOption(version);
    for (const char *name : kToolkitValueOptions)
        parser.addOption(QCommandLineOption(QString::fromLatin1(name), QString(), QStringLiteral("value")));
    for (const char *name : kToolkitFlagOptions)
        parser.addOption(QCommandLineOption(QString::fromLatin1(name)));

    if (!parser.parse(arguments)) {
        const QStringList unknown = parser.unknownOptionNames();
        if (!unknown.isEmpty())
            return refused(QStringLiteral("неизвестный параметр: %1").arg(typedOption(arguments, unknown.first())));
        return refused(parser.errorText());
    }
    if (parser.isSet(help))
        return {CommandLine::Action::Help, QString(), helpText(startupDir)};
    if (parser.isSet(version))
        return {CommandLine::Action::Version, QString(), QStringLiteral("VRKX_Query %1\n").arg(kVersion)};
    const QStringList positional = parser.positionalArguments();
    if (positional.size() > 1)
        return refused(QStringLiteral("лишний аргумент: %1").arg(positional[1]));
    CommandLine run;
    if (!positional.isEmpty())
        run.store = StoreArgument(positional.first(), workingDir);
    return run;
}

int AnswerCommandLine(const CommandLine &commandLine)
{
    const QByteArray text = commandLine.text.toLocal8Bit();
    const bool error = commandLine.action == CommandLine::Action::Error;
    std::fputs(text.constData(), error ? stderr : stdout);
    std::fflush(error ? stderr : stdout);
    return error ? 2 : 0;
}

bool IsServerPath(const QString &path)
{
    // As the client reads it: a colon makes the text before it a server
    // ("host:", "host/port:", "inet://"), unless the path is plainly a file's.
    return path.contains(QChar(':')) && !path.startsWith(QChar('/')) && !path.startsWith(QChar('.'));
}

QString StoreArgument(const QString &text, const QString &workingDir)
{
    const QString path = Trim(text);
    if (path.isEmpty() || IsServerPath(path))
        return path;
    return QDir::cleanPath(QDir(workingDir).absoluteFilePath(path));
}
