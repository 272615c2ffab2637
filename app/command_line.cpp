#include "app/command_line.h"

#include "base/version.h"

CommandLine ParseCommandLine(const QStringList& arguments) {
    bool help = false;
    bool version = false;
    QString unknown;
    QStringList words;
    bool options = true;
    for (const QString& argument : arguments) {
        if (options && argument == QLatin1String("--")) {
            options = false;
        } else if (options &&
                   (argument == QLatin1String("--help") || argument == QLatin1String("-h"))) {
            help = true;
        } else if (options && argument == QLatin1String("--version")) {
            version = true;
        } else if (options && argument.startsWith(u'-') && argument.size() > 1) {
            if (unknown.isEmpty()) unknown = argument;
        } else if (!argument.trimmed().isEmpty()) {
            words << argument.simplified();
        }
    }
    CommandLine line;
    line.word = words.join(u' ');
    if (help) {
        line.action = CommandLine::Action::kHelp;
    } else if (version) {
        line.action = CommandLine::Action::kVersion;
    } else if (!unknown.isEmpty()) {
        line.action = CommandLine::Action::kError;
        line.error = QStringLiteral("unknown option '%1'").arg(unknown);
    }
    return line;
}

QString Usage() {
    return QStringLiteral(
        "Usage: lexivane [WORD...]\n"
        "       lexivane --help | --version\n"
        "\n"
        "Lexivane, a small offline English dictionary. Given a WORD, it starts with\n"
        "the word in the search box and the entry of its nearest headword open.\n"
        "When Lexivane already runs from the same folder, that copy comes to the\n"
        "front and shows the word instead.\n"
        "\n"
        "  -h, --help  print this help and exit\n"
        "  --version   print the version and exit\n"
        "  --          end of options: a WORD may then begin with '-'\n"
        "\n"
        "The dictionaries, bookmark.dat and the settings (lexivane.ini) are in the\n"
        "program's folder. Exit status: 0, or 2 for a command line it cannot read.\n");
}

QString Version() {
    return QStringLiteral("lexivane " LEXIVANE_VERSION " (build %1)\n").arg(LEXIVANE_VERSION_BUILD);
}
