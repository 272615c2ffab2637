#include "app/command_line.h"

#include <gtest/gtest.h>

namespace {

TEST(CommandLineTest, WordsOptionsAndTheirPrecedence) {
    using Action = CommandLine::Action;
    struct Case {
        QStringList arguments;
        Action action;
        QString word;
        QString error;
    };
    const Case cases[] = {
        {{}, Action::kRun, "", ""},
        {{"cat"}, Action::kRun, "cat", ""},
        {{"ice", " cream  "}, Action::kRun, "ice cream", ""},
        {{"--", "-ish", "--help"}, Action::kRun, "-ish --help", ""},
        {{"-"}, Action::kRun, "-", ""},
        {{"cat", "--help"}, Action::kHelp, "cat", ""},
        {{"-h"}, Action::kHelp, "", ""},
        {{"--version"}, Action::kVersion, "", ""},
        {{"--version", "--help"}, Action::kHelp, "", ""},
        {{"--bogus", "--version"}, Action::kVersion, "", ""},
        {{"cat", "--bogus", "-x"}, Action::kError, "cat", "unknown option '--bogus'"},
    };
    for (const Case& c : cases) {
        const CommandLine line = ParseCommandLine(c.arguments);
        EXPECT_EQ(line.action, c.action) << c.arguments.join(u' ').toStdString();
        EXPECT_EQ(line.word, c.word) << c.arguments.join(u' ').toStdString();
        EXPECT_EQ(line.error, c.error) << c.arguments.join(u' ').toStdString();
    }
    EXPECT_TRUE(Usage().startsWith(QStringLiteral("Usage: lexivane [WORD...]\n")));
    EXPECT_EQ(Version(), QStringLiteral("lexivane 1.4.0 (build 1023)\n"));
}

}  // namespace
