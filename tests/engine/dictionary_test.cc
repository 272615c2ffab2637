// The reader's searches against brute force over the same headwords: the
// binary search takes shortcuts (name records, fences, word-at-a-time
// comparison) that must agree with Collate everywhere.
#include "lexicore/dictionary.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <memory>
#include <string>
#include <vector>

#include "lexicore/collation.h"
#include "tests/engine/test_dictionary.h"

namespace lexicore::testing {
namespace {

TEST(DictionarySearch, LowerBoundAndFindAgreeWithCollateForTrickyKeys) {
    const std::vector<std::string> words = {
        "a",
        "A.D.",
        "aa",
        "Aachen",
        "abbreviation",
        "abbreviations table",
        "abbreviations-list",
        "ABBREVIATIONS",  // merges with "abbreviations"
        "abbreviations",
        "caf\xe9",
        "cafe",
        "Caf\xe9 society",
        "caf\xe9 au lait",
        // Exactly as long as a name record's prefix, equal but for an accent.
        "attache case",
        "attach\xe9 case",
        "attache cases",
        "attach\xe9 cases",
        "attache cas",
        "attach\xe9 cas",
        "internationalisation",
        "internationalization",
        "internationalize",
        "Internationale",
        "x",
        "xylophone player",
        "xylophone",
        "\xc9lan vital",
        "'tween",
        "1st",
        "12-tone music",
    };
    TempDir dir;
    DictionarySource source;
    for (const std::string& w : words) source.entries.push_back(Entry(w, "x"));
    Build(source, dir.File("d.pdb"));
    const int fd = open(dir.File("d.pdb").c_str(), O_RDONLY);
    std::unique_ptr<Dictionary> dict;
    ASSERT_TRUE(Dictionary::Open(fd, &dict).ok());
    close(fd);

    std::vector<std::string> names;
    for (uint32_t i = 0; i < dict->count(); ++i) names.push_back(dict->Headword(i));
    std::vector<std::string> keys = {"",  "0",  "zzzzzzzzzzzzzzzz", "\xff",
                                     "A", "ab", "abbreviation"};
    for (const std::string& w : words) {
        for (size_t n = 1; n <= w.size() + 1; ++n) {
            keys.push_back(w.substr(0, n));
            keys.push_back(Fold(w.substr(0, n)));
            keys.push_back(w.substr(0, n) + "zz");
            keys.push_back(w.substr(0, n) + " ");
            keys.push_back(w.substr(0, n) + "A");
        }
    }
    for (const std::string& key : keys) {
        uint32_t expected = 0;
        while (expected < names.size() && Collate(names[expected], key) < 0) ++expected;
        EXPECT_EQ(dict->LowerBound(key), expected) << key;
        const bool equal = expected < names.size() && Collate(names[expected], key) == 0;
        EXPECT_EQ(dict->Find(key), equal ? expected : Dictionary::kNotFound) << key;
    }
}

}  // namespace
}  // namespace lexicore::testing
