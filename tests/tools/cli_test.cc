#include "tools/cli.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <regex>
#include <sstream>
#include <utility>

#include "lexicore/builder.h"
#include "temp_dir.h"

namespace lexivane_dict {
namespace {

const std::string kData = LEXIVANE_TEST_DATA_DIR;
const std::string kWordNet = kData + "/wordnet";
const std::string kDicts = LEXIVANE_TEST_DICT_DIR;

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

Outcome Command(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int status = RunCommand(args, out, err);
    return {status, out.str(), err.str()};
}

TEST(CliUsage, MistakesGiveTheUsageAndStatusTwo) {
    const Outcome none = Command({});
    EXPECT_EQ(none.status, kExitUsage);
    EXPECT_EQ(none.err, "lexivane-dict: no command given\n\n" + Usage());
    EXPECT_EQ(Command({"frobnicate"}).err,
              "lexivane-dict: unknown command 'frobnicate'\n\n" + Usage());
    EXPECT_EQ(Command({"build", "--text", "x.txt"}).status, kExitUsage);
    EXPECT_EQ(Command({"build", "-o", "x.pdb"}).err,
              "lexivane-dict: build needs at least one source (--wordnet, --gcide or --text)\n\n" +
                  Usage());
    EXPECT_EQ(Command({"build", "-o"}).err, "lexivane-dict: option -o needs a value\n\n" + Usage());
    EXPECT_EQ(Command({"build", "--fast", "1"}).err,
              "lexivane-dict: unknown option --fast\n\n" + Usage());
    EXPECT_EQ(Command({"lookup", "x.pdb"}).status, kExitUsage);
    EXPECT_EQ(Command({"stats"}).status, kExitUsage);
    const Outcome help = Command({"--help"});
    EXPECT_EQ(help.status, kExitSuccess);
    EXPECT_EQ(help.out, Usage());
    const Outcome version = Command({"--version"});
    EXPECT_EQ(version.status, kExitSuccess);
    EXPECT_TRUE(
        std::regex_match(version.out, std::regex(R"(lexivane-dict \d+\.\d+\.\d+ \(build \d+\)\n)")))
        << version.out;
}

class CliBuildTest : public ::testing::Test {
  protected:
    std::string Output() const { return dir_.path() + "/out.pdb"; }
    TempDir dir_;
};

TEST_F(CliBuildTest, BadSourceStopsWithItsLocationAndWritesNothing) {
    const std::string source = dir_.Write("bad.txt", "word: a\nsense: first letter\nexample\n");
    const Outcome run = Command({"build", "-o", Output(), "--text", source});
    EXPECT_EQ(run.status, kExitFailure);
    EXPECT_EQ(run.err, source + ":3: expected 'keyword: value'\n");
    EXPECT_EQ(dir_.FileCount(), 1);  // the source alone: no output, no temporary file
}

TEST_F(CliBuildTest, SourceWithoutEntriesStopsAndWritesNothing) {
    dir_.Write("wn.dict", "00-database-info\n    about\n");
    dir_.Write("gcide.dict", "00-database-info\n    about\n");
    const std::string about = "00-database-info\tA\tX\n";
    const std::vector<std::pair<std::string, std::string>> sources = {
        {"--text", kData + "/empty.txt"},
        {"--wordnet", dir_.Write("wn.index", about)},
        {"--gcide", dir_.Write("gcide.index", about)}};
    for (const auto& [option, path] : sources) {
        const Outcome run =
            Command({"build", "-o", Output(), "--text", kData + "/no-a.txt", option, path});
        EXPECT_EQ(run.status, kExitFailure) << option;
        EXPECT_EQ(run.err, "no entries found in " + path + "\n");
        EXPECT_EQ(dir_.FileCount(), 4) << "no output, no temporary file";
    }
}

TEST_F(CliBuildTest, MessagesShowSourceBytesEscaped) {
    const std::string counts = dir_.Write("cntlist.rev", "cat%1:05:00:: 1 \x8bm;;G\x1b[2J\n");
    const Outcome run =
        Command({"build", "-o", Output(), "--text", kData + "/no-a.txt", "--frequent", counts});
    EXPECT_EQ(run.status, kExitFailure);
    EXPECT_EQ(run.err, counts + ":1: invalid count '\\x8bm;;G\\x1b[2J'\n");
}

TEST_F(CliBuildTest, MalformedIndexStopsAfterGoodSourcesWereRead) {
    dir_.Write("wn.dict", "cat\n    n 1: a feline\n");
    const std::string index = dir_.Write("wn.index", "cat\tA\tW\ndog\tA\n");
    const Outcome run =
        Command({"build", "-o", Output(), "--text", kData + "/no-a.txt", "--wordnet", index});
    EXPECT_EQ(run.status, kExitFailure);
    EXPECT_EQ(run.err, index + ":2: expected headword, offset and length separated by tabs\n");
    EXPECT_EQ(dir_.FileCount(), 2);
}

TEST_F(CliBuildTest, OffsetOutsideTheDataAndMissingExceptionsAreErrors) {
    dir_.Write("wn.dict", "cat\n    n 1: a feline\n");
    const std::string index = dir_.Write("wn.index", "cat\tA\tW\ndog\tBA\tB\n");
    Outcome run = Command({"build", "-o", Output(), "--wordnet", index});
    EXPECT_EQ(run.status, kExitFailure);
    EXPECT_EQ(run.err, index + ":2: entry 'dog' at offset 64, length 1 lies outside " +
                           dir_.path() + "/wn.dict (22 bytes)\n");
    run = Command(
        {"build", "-o", Output(), "--text", kData + "/no-a.txt", "--exceptions", dir_.path()});
    EXPECT_EQ(run.status, kExitFailure);
    EXPECT_EQ(run.err, dir_.path() + "/noun.exc: cannot read: No such file or directory\n");
    EXPECT_EQ(dir_.FileCount(), 2);
}

TEST_F(CliBuildTest, BuildsWordNetAndLooksUpThroughTheEngine) {
    const Outcome build = Command({"build", "-o", Output(), "--wordnet", kWordNet + "/sample.index",
                                   "--exceptions", kWordNet});
    ASSERT_EQ(build.status, kExitSuccess) << build.err;
    EXPECT_TRUE(build.out.starts_with(Output() + ": 11 headwords, ")) << build.out;

    // An irregular plural finds its singular; the entry is the engine's plain text.
    const Outcome geese = Command({"lookup", Output(), "geese"});
    EXPECT_EQ(geese.status, kExitSuccess);
    EXPECT_EQ(geese.out,
              "goose\n"
              "noun\n"
              "1. web-footed long-necked typically gregarious migratory aquatic birds usually "
              "larger and less aquatic than ducks\n"
              "2. a man who is a stupid incompetent fool\n"
              "   Synonyms: fathead, goof, goofball, bozo, jackass, cuckoo, twat, zany\n"
              "3. flesh of a goose (domestic or wild)\n"
              "verb\n"
              "1. pinch in the buttocks; “he goosed the unsuspecting girl”\n"
              "2. prod into action\n"
              "3. give a spurt of fuel to; “goose the car”\n");
    // A prefix goes to the first headword after it; HTML on request.
    const Outcome html = Command({"lookup", "--html", Output(), "amp"});
    EXPECT_EQ(html.status, kExitSuccess);
    EXPECT_EQ(html.out,
              "<p><b>ampersand</b></p><p><i>noun</i></p><p>a punctuation mark (&amp;) used to "
              "represent conjunction (and)</p>\n");

    const Outcome list = Command({"list", Output()});
    EXPECT_EQ(list.out,
              "a\nampersand\nangle bracket\ncat\ngood\ngoose\nParis\nrun\nstudy\nwell\n'hood\n");
}

TEST_F(CliBuildTest, FrequentSelectionKeepsCountedWords) {
    const Outcome build =
        Command({"build", "-o", Output(), "--wordnet", kWordNet + "/sample.index", "--frequent",
                 kWordNet + "/cntlist.rev", "--exceptions", kWordNet});
    ASSERT_EQ(build.status, kExitSuccess) << build.err;
    EXPECT_EQ(Command({"list", Output()}).out, "a\ncat\ngood\nrun\n");
}

TEST(CliInspect, StatsCountsEntriesCutForTheProgramsBuffer) {
    const Outcome stats = Command({"stats", kDicts + "/basic.pdb"});
    ASSERT_EQ(stats.status, kExitSuccess) << stats.err;
    EXPECT_NE(stats.out.find("\nheadwords: 59\n"), std::string::npos) << stats.out;
    EXPECT_NE(stats.out.find("\nentries cut to fit 12000 bytes: 1 as HTML, 1 as text\n"),
              std::string::npos)
        << stats.out;
    EXPECT_NE(stats.out.find("\nlongest entry: 'run', "), std::string::npos) << stats.out;
}

// The stats of a GCIDE sample built from the command line, measured against
// its source: every count that names a fault is 0.
TEST_F(CliBuildTest, StatsMeasureADictionaryAgainstItsSources) {
    const std::string index = kData + "/gcide/forms.index";
    ASSERT_EQ(Command({"build", "-o", Output(), "--gcide", index, "--exceptions", kWordNet}).status,
              kExitSuccess);
    const Outcome stats = Command({"stats", Output(), "--gcide", index, "--exceptions", kWordNet,
                                   "--wordnet-data", kWordNet, "--list"});
    ASSERT_EQ(stats.status, kExitSuccess) << stats.err;
    for (const char* line :
         {"\nentries without a definition: 0\n", "\nentries with a stray head line: 0\n",
          "\nentries cut to fit 12000 bytes: 0 as HTML, 0 as text\n",
          "\nentries missing quotations without a note: 0\n",
          "\nentries with marks in a pronunciation: 0\n", "\nentries with source HTML: 0\n",
          "\nsource headwords without a headword: 0 of 23, 0 never named in their entry\n",
          "\nheadwords without the source's capitals: 0 of 0\n",
          "\nheadwords that do not reach themselves: 0\n"}) {
        EXPECT_NE(stats.out.find(line), std::string::npos) << line << stats.out;
    }
    EXPECT_EQ(Command({"stats", Output(), "--gcide"}).err,
              "lexivane-dict: option --gcide needs a value\n\n" + Usage());
    EXPECT_EQ(Command({"stats", Output(), "--gcide", kWordNet + "/none.index"}).status,
              kExitFailure);
}

// A dictionary without headwords, which the compiler never writes.
std::string EmptyDictionary(const TempDir& dir) {
    std::string path = dir.path() + "/empty.pdb";
    std::string error;
    EXPECT_TRUE(lexicore::WriteDictionary(lexicore::DictionarySource{}, path, nullptr, &error))
        << error;
    return path;
}

TEST(CliInspect, EmptyForeignAndMissingDictionaries) {
    TempDir dir;
    const std::string empty_path = EmptyDictionary(dir);
    const Outcome empty = Command({"lookup", empty_path, "cat"});
    EXPECT_EQ(empty.status, kExitNoWords);
    EXPECT_EQ(empty.err, empty_path + ": the dictionary has no headwords\n");
    EXPECT_EQ(Command({"stats", empty_path}).status, kExitSuccess);
    const Outcome foreign = Command({"lookup", kData + "/basic.txt", "cat"});
    EXPECT_EQ(foreign.status, kExitFailure);
    EXPECT_EQ(foreign.err, kData + "/basic.txt: not a usable dictionary file\n");
    const Outcome missing = Command({"list", "/nonexistent.pdb"});
    EXPECT_EQ(missing.status, kExitFailure);
    EXPECT_EQ(missing.err, "/nonexistent.pdb: cannot open: No such file or directory\n");
    EXPECT_EQ(Command({"list", kDicts + "/no-a.pdb"}).out, "apple\nbanana\ncherry\n");
}

TEST(CliInspect, RawPrintsTheSourceText) {
    const Outcome raw = Command({"raw", kWordNet + "/sample.index", "Hood"});
    EXPECT_EQ(raw.status, kExitNoWords);
    EXPECT_EQ(raw.err, kWordNet + "/sample.index: no entry for 'Hood'\n");
    const Outcome hood = Command({"raw", kWordNet + "/sample.index", "'HOOD"});
    EXPECT_EQ(hood.status, kExitSuccess);
    EXPECT_EQ(hood.out, "'hood\n    n 1: (slang) a neighborhood\n");
}

// The program itself, as scripts and the build run it.
int Program(const std::string& arguments) {
    const int status = std::system(
        (std::string("'") + LEXIVANE_DICT_PROGRAM + "' " + arguments + " >/dev/null 2>&1").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(CliProgram, ExitStatusesReachTheShell) {
    TempDir dir;
    EXPECT_EQ(Program(""), kExitUsage);
    EXPECT_EQ(Program("lookup /nonexistent.pdb cat"), kExitFailure);
    EXPECT_EQ(Program("lookup '" + EmptyDictionary(dir) + "' cat"), kExitNoWords);
    EXPECT_EQ(Program("build -o '" + dir.path() + "/x.pdb' --text '" + kData + "/empty.txt'"),
              kExitFailure);
    EXPECT_EQ(Program("build -o '" + dir.path() + "/x.pdb' --text '" + kData + "/no-a.txt'"),
              kExitSuccess);
    EXPECT_EQ(Program("lookup '" + dir.path() + "/x.pdb' banana"), kExitSuccess);
}

}  // namespace
}  // namespace lexivane_dict
