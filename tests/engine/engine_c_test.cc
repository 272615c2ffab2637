// Runs the C-language contract checks of engine_contract_c.c.
#include <gtest/gtest.h>

#include "tests/engine/engine_contract_c.h"
#include "tests/engine/test_dictionary.h"

namespace lexicore::testing {
namespace {

class EngineFromCTest : public ::testing::Test {
  protected:
    void SetUp() override { Build(SampleSource(), path_); }

    TempDir dir_;
    std::string path_ = dir_.File("sample.pdb");
};

// A null result means the C check passed.
#define EXPECT_C_PASSES(call)                   \
    do {                                        \
        const char* failure = (call);           \
        EXPECT_EQ(failure, nullptr) << failure; \
    } while (0)

TEST_F(EngineFromCTest, WordList) {
    EXPECT_C_PASSES(c_check_word_list(path_.c_str()));
}
TEST_F(EngineFromCTest, LookupAndPrint) {
    EXPECT_C_PASSES(c_check_lookup_and_print(path_.c_str()));
}
TEST_F(EngineFromCTest, History) {
    EXPECT_C_PASSES(c_check_history(path_.c_str()));
}
TEST_F(EngineFromCTest, Close) {
    EXPECT_C_PASSES(c_check_close(path_.c_str()));
}

}  // namespace
}  // namespace lexicore::testing
