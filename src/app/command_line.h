#pragma once
// The command line, read before the application object exists, so that
// --help and --version answer without a display:
//   VRKX_Query [--help] [--version] [STORE]
// STORE (a local path or host:path) is opened for this run instead of the
// remembered store. The toolkit's own options (-platform, -style, ...) are
// let through for the application object to take.

#include <QString>
#include <QStringList>

struct CommandLine {
    enum class Action { Run, Help, Version, Error };
    Action action = Action::Run;
    QString store; // Run: the store given (a local path made absolute), or empty
    QString text;  // Help, Version: for standard output; Error: for standard error
};

// The arguments as main() got them, the program's name first.
QStringList ArgumentList(int argc, char **argv);
// startupDir is the folder the program keeps its files in, named by --help;
// workingDir is the folder a relative store path is taken in.
CommandLine ParseCommandLine(const QStringList &arguments, const QString &startupDir, const QString &workingDir);
// Prints the text where it belongs and returns the exit status: 0 for --help
// and --version, 2 for a command line the program does not take.
int AnswerCommandLine(const CommandLine &commandLine);

// Whether a store path goes through a server: "host:path", "host/port:path"
// or "inet://host/path". A path that begins with "/" or "." is a file's, also
// when its name holds a colon.
bool IsServerPath(const QString &path);
// The store path as the connection and the settings file get it: a local path
// made absolute against workingDir and cleaned, a server path as given.
QString StoreArgument(const QString &text, const QString &workingDir);
