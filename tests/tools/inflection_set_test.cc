// The inflection set reader, its scoring, the `inflections` command, and the
// share of real running-text inflections the medium dictionary resolves.
#include "tools/inflection_set.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "lexicore/collation.h"
#include "temp_dir.h"
#include "tests/engine/test_dictionary.h"
#include "tools/cli.h"

namespace lexivane_dict {
namespace {

const std::string kSet = std::string(LEXIVANE_TEST_DATA_DIR) + "/inflections/license-texts.txt";
const std::string kBasic = std::string(LEXIVANE_TEST_DICT_DIR) + "/basic.pdb";
const std::string kMedium = std::string(LEXIVANE_DIST_DIR) + "/English Dictionary (medium).pdb";

std::string ReadError(const std::string& contents) {
    TempDir dir;
    const std::string path = dir.Write("set.txt", contents);
    std::vector<InflectedForm> forms;
    std::string error;
    EXPECT_FALSE(ReadInflectionSet(path, &forms, &error));
    const std::string prefix = path + ":";
    return error.starts_with(prefix) ? error.substr(prefix.size()) : "unexpected: " + error;
}

TEST(InflectionSetReader, ReadsFormsAndSkipsCommentsAndBlankLines) {
    TempDir dir;
    const std::string path = dir.Write("set.txt",
                                       "# form base source\n"
                                       "\n"
                                       "geese goose GPL-3\r\n"
                                       "  studied\tstudy   Apache-2.0\n"
                                       "   \n");
    std::vector<InflectedForm> forms;
    std::string error;
    ASSERT_TRUE(ReadInflectionSet(path, &forms, &error)) << error;
    ASSERT_EQ(forms.size(), 2u);
    EXPECT_EQ(forms[0].form, "geese");
    EXPECT_EQ(forms[0].base, "goose");
    EXPECT_EQ(forms[0].source, "GPL-3");
    EXPECT_EQ(forms[1].form, "studied");
    EXPECT_EQ(forms[1].base, "study");
    EXPECT_EQ(forms[1].source, "Apache-2.0");
}

TEST(InflectionSetReader, RejectsMalformedLinesWithTheirLineNumber) {
    EXPECT_EQ(ReadError("geese goose\n"), "1: expected 'FORM BASE SOURCE'");
    EXPECT_EQ(ReadError("# x\ngeese goose GPL-3 extra\n"), "2: expected 'FORM BASE SOURCE'");
    EXPECT_EQ(ReadError("ran run GPL-3\nrun's run GPL-3\n"),
              "2: form and base must be letters only");
    EXPECT_EQ(ReadError("ran ru-n GPL-3\n"), "1: form and base must be letters only");
    EXPECT_EQ(ReadError("Run run GPL-3\n"), "1: 'Run' is its own base");
}

TEST(InflectionSetReader, MissingFileNamesThePath) {
    std::vector<InflectedForm> forms;
    std::string error;
    EXPECT_FALSE(ReadInflectionSet("/nonexistent/set.txt", &forms, &error));
    EXPECT_EQ(error, "/nonexistent/set.txt: cannot read: No such file or directory");
}

TEST(InflectionSetReader, TheCommittedSetIsWellFormedAndLargeEnough) {
    std::vector<InflectedForm> forms;
    std::string error;
    ASSERT_TRUE(ReadInflectionSet(kSet, &forms, &error)) << error;
    EXPECT_GE(forms.size(), 300u);
}

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

TEST(InflectionsCommand, PrintsTheMissesAndTheShare) {
    TempDir dir;
    const std::string set = dir.Write("set.txt",
                                      "geese goose t\n"
                                      "studied study t\n"
                                      "cats cat t\n"
                                      "mice mouse t\n"
                                      "better good t\n"
                                      "birds bird t\n"
                                      "rivers river t\n"
                                      "trees tree t\n");
    const Outcome outcome = Command({"inflections", kBasic, set});
    EXPECT_EQ(outcome.status, kExitSuccess) << outcome.err;
    EXPECT_EQ(outcome.err, "");
    EXPECT_EQ(outcome.out, "8 of 8 forms reach their base: 100.0%\n");

    const std::string wrong = dir.Write("wrong.txt", "cats cow t\nzebras zebu t\n");
    EXPECT_EQ(Command({"inflections", kBasic, wrong}).out,
              "miss: cats -> cat (base cow)\n"
              "miss: zebras -> zebra (base zebu)\n"
              "0 of 2 forms reach their base: 0.0%\n");
}

TEST(InflectionsCommand, ReportsBadArgumentsFilesAndSets) {
    EXPECT_EQ(Command({"inflections", kBasic}).status, kExitUsage);
    TempDir dir;
    const std::string bad = dir.Write("bad.txt", "cats\n");
    const Outcome malformed = Command({"inflections", kBasic, bad});
    EXPECT_EQ(malformed.status, kExitFailure);
    EXPECT_EQ(malformed.err, bad + ":1: expected 'FORM BASE SOURCE'\n");
    const std::string good = dir.Write("good.txt", "cats cat t\n");
    const Outcome missing = Command({"inflections", dir.path() + "/none.pdb", good});
    EXPECT_EQ(missing.status, kExitFailure);
    EXPECT_EQ(missing.err, dir.path() + "/none.pdb: cannot open: No such file or directory\n");
}

// The medium dictionary of the program folder; the tests skip when it is not built.
class MediumDictionary : public ::testing::Test {
  protected:
    void SetUp() override {
        if (access(kMedium.c_str(), R_OK) != 0) GTEST_SKIP() << kMedium << " is not built";
        dict_ = std::make_unique<lexicore::testing::OpenDictionary>(kMedium);
        ASSERT_NE(dict_->handle(), 0u);
    }
    LXV_HANDLE h() const { return dict_->handle(); }

    // Index of the first headword sorting at or after key.
    uint32_t LowerBound(const std::string& key) const {
        uint32_t low = 0, high = lxv_wordlist_count(h());
        while (low < high) {
            const uint32_t mid = low + (high - low) / 2;
            if (lexicore::Collate(lxv_wordlist_at(h(), mid), key) < 0) {
                low = mid + 1;
            } else {
                high = mid;
            }
        }
        return low;
    }

  private:
    std::unique_ptr<lexicore::testing::OpenDictionary> dict_;
};

TEST_F(MediumDictionary, ResolvesAtLeast97PercentOfTheRunningTextInflections) {
    std::vector<InflectedForm> forms;
    std::string error;
    ASSERT_TRUE(ReadInflectionSet(kSet, &forms, &error)) << error;
    const InflectionScore score = ScoreInflections(h(), forms);
    std::string misses;
    for (const InflectionMiss& miss : score.misses) {
        misses +=
            miss.expected.form + " -> " + miss.nearest + " (base " + miss.expected.base + ")\n";
    }
    EXPECT_GE(score.Share(), 0.97) << score.resolved << " of " << score.total << "\n" << misses;
}

// Typing a word letter by letter: each prefix that is no word goes to the first
// headword at or after it, even when a rule would read it as an inflection of
// a shorter headword ("boldes" is no plural of bold, "choruss" none of chorus).
TEST_F(MediumDictionary, TypedPrefixesThatAreNoWordsGoToTheNextHeadword) {
    // Each typed word with those of its prefixes that are words in their own
    // right: they may go to their own base.
    static const struct {
        std::string word;
        std::vector<std::string> word_prefixes;
    } kTyped[] = {
        {"boldest", {"bold", "bolder"}},
        {"baroness", {"baron"}},
        {"bitterness", {"bitter"}},
        {"access", {}},
        {"chorussed", {"chorus"}},
        {"matchstick", {"match"}},
        {"crystal", {"cry"}},
        {"countryside", {"count", "country"}},
        {"wishbone", {"wish"}},
        {"basal", {}},
        {"catsup", {"cat", "cats"}},
    };
    for (const auto& typed : kTyped) {
        for (size_t n = 2; n < typed.word.size(); ++n) {
            const std::string prefix = typed.word.substr(0, n);
            if (lxv_find(h(), prefix.c_str()) != 0) continue;
            if (std::find(typed.word_prefixes.begin(), typed.word_prefixes.end(), prefix) !=
                typed.word_prefixes.end()) {
                continue;
            }
            const uint32_t at = LowerBound(prefix);
            ASSERT_LT(at, lxv_wordlist_count(h())) << prefix;
            EXPECT_STREQ(lxv_wordlist_nearest(h(), prefix.c_str()), lxv_wordlist_at(h(), at))
                << "typing " << typed.word << ": " << prefix;
        }
    }
}

TEST_F(MediumDictionary, SpellingDecidesBetweenEsAndS) {
    static const struct {
        const char* form;
        const char* base;
    } kForms[] = {
        {"goes", "go"},         {"echoes", "echo"}, {"boxes", "box"},         {"wishes", "wish"},
        {"churches", "church"}, {"buzzes", "buzz"}, {"countries", "country"}, {"stands", "stand"},
        {"horses", "horse"},    {"toes", "toe"},
    };
    for (const auto& f : kForms) EXPECT_STREQ(lxv_wordlist_nearest(h(), f.form), f.base) << f.form;
}

}  // namespace
}  // namespace lexivane_dict
