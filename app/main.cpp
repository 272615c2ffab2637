// Lexivane: a small, fast, offline English dictionary.
#include <QStringList>
#include <cstdio>

#include "app/command_line.h"
#include "app/lexivane_app.h"
#include "platform/dialog.h"
#include "platform/resources.h"

// The one application object, constructed before main as the framework expects.
CLexivaneApp theApp;

namespace {

QStringList Arguments(int argc, char** argv) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

}  // namespace

int main(int argc, char** argv) {
    // --help and --version are answered before Qt starts: they need no display.
    const CommandLine early = ParseCommandLine(Arguments(argc, argv));
    if (early.action == CommandLine::Action::kHelp ||
        early.action == CommandLine::Action::kVersion) {
        const QString text = early.action == CommandLine::Action::kHelp ? Usage() : Version();
        std::fputs(text.toLocal8Bit().constData(), stdout);
        return kExitSuccess;
    }

    platform::CApplication application(argc, argv);
    // Qt has taken its own options (-style, ...) out of the arguments.
    const CommandLine line = ParseCommandLine(Arguments(argc, argv));
    if (line.action == CommandLine::Action::kError) {
        std::fprintf(stderr, "lexivane: %s\n\n%s", line.error.toLocal8Bit().constData(),
                     Usage().toLocal8Bit().constData());
        return kExitUsage;
    }
    theApp.SetStartWord(line.word);
    platform::CApplication::setWindowIcon(platform::LoadAppIcon());
    return platform::AfxWinMain();
}
