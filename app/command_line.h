// The program's command line: `lexivane [WORD...]`, `--help` and `--version`.
// Qt's own options (-style, -platform, ...) are taken out by the application
// object before the rest is read here.
#ifndef LEXIVANE_APP_COMMAND_LINE_H_
#define LEXIVANE_APP_COMMAND_LINE_H_

#include <QString>
#include <QStringList>

// Exit codes of the command line; the program itself ends with 0.
inline constexpr int kExitSuccess = 0;
inline constexpr int kExitUsage = 2;

struct CommandLine {
    enum class Action {
        kRun,      // start, with `word` when one was given
        kHelp,     // print Usage() and end
        kVersion,  // print Version() and end
        kError,    // print `error` and Usage() to the standard error, end with kExitUsage
    };
    Action action = Action::kRun;
    QString word;   // the words given, joined by single spaces; empty for none
    QString error;  // "unknown option '--x'"
};

// Reads the arguments after the program's name. --help (or -h) wins over
// --version, which wins over an unknown option; "--" ends the options, so
// that a word may begin with '-'.
CommandLine ParseCommandLine(const QStringList& arguments);

// The help text: how to call the program and what it does with a word.
QString Usage();
// "lexivane 1.4.0 (build 1023)": the version, as lexivane-dict gives its own.
QString Version();

#endif  // LEXIVANE_APP_COMMAND_LINE_H_
