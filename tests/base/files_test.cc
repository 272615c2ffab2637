#include "base/files.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

namespace lexivane_base {
namespace {

namespace fs = std::filesystem;

class ReplaceFileTest : public ::testing::Test {
  protected:
    ReplaceFileTest() {
        std::string pattern = (fs::temp_directory_path() / "lexivane-base-XXXXXX").string();
        dir_ = mkdtemp(pattern.data());
    }
    ~ReplaceFileTest() override {
        SetFileFaultHookForTesting(nullptr);
        fs::remove_all(dir_);
    }

    std::string Path(const std::string& name) const { return dir_ + "/" + name; }
    void Write(const std::string& name, const std::string& contents) const {
        std::ofstream(Path(name), std::ios::binary) << contents;
    }
    std::string Read(const std::string& name) const {
        std::ifstream in(Path(name), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir_)) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }
    mode_t Mode(const std::string& name) const {
        struct stat st = {};
        EXPECT_EQ(stat(Path(name).c_str(), &st), 0);
        return st.st_mode & 07777;
    }

    std::string dir_;
};

TEST_F(ReplaceFileTest, MakesANewFileOrReplacesTheOldOneKeepingItsRights) {
    const mode_t mask = umask(027);
    EXPECT_EQ(ReplaceFileContents(Path("marks"), "first"), 0);
    umask(mask);
    EXPECT_EQ(Read("marks"), "first");
    EXPECT_EQ(Mode("marks"), 0640u) << "0666 less the umask";

    ASSERT_EQ(chmod(Path("marks").c_str(), 0604), 0);
    // Root gives the new file to the old one's owner, as root's save must.
    const uid_t owner = geteuid() == 0 ? 65534 : geteuid();
    const gid_t group = geteuid() == 0 ? 65534 : getegid();
    ASSERT_EQ(chown(Path("marks").c_str(), owner, group), 0);
    EXPECT_EQ(ReplaceFileContents(Path("marks"), "second"), 0);
    EXPECT_EQ(Read("marks"), "second");
    EXPECT_EQ(Mode("marks"), 0604u);
    struct stat st = {};
    ASSERT_EQ(stat(Path("marks").c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, owner);
    EXPECT_EQ(st.st_gid, group);
    EXPECT_EQ(Names(), std::vector<std::string>{"marks"}) << "no temporary file left";
}

TEST_F(ReplaceFileTest, WritesThroughLinksAndTheLinksStay) {
    fs::create_directory(Path("elsewhere"));
    Write("elsewhere/marks", "old");
    fs::create_symlink("elsewhere/marks", Path("chain"));
    fs::create_symlink("chain", Path("marks"));
    EXPECT_EQ(ReplaceFileContents(Path("marks"), "new"), 0);
    EXPECT_TRUE(fs::is_symlink(Path("marks")));
    EXPECT_TRUE(fs::is_symlink(Path("chain")));
    EXPECT_EQ(Read("elsewhere/marks"), "new");

    fs::create_symlink("elsewhere/fresh", Path("dangling"));
    EXPECT_EQ(ReplaceFileContents(Path("dangling"), "made"), 0);
    EXPECT_TRUE(fs::is_symlink(Path("dangling")));
    EXPECT_EQ(Read("elsewhere/fresh"), "made");

    fs::create_symlink("loop-b", Path("loop-a"));
    fs::create_symlink("loop-a", Path("loop-b"));
    EXPECT_EQ(ReplaceFileContents(Path("loop-a"), "x"), ELOOP);
}

TEST_F(ReplaceFileTest, RefusesWhatIsNoRegularFileOrNotThere) {
    fs::create_directory(Path("folder"));
    EXPECT_EQ(ReplaceFileContents(Path("folder"), "x"), EACCES);
    ASSERT_EQ(mkfifo(Path("pipe").c_str(), 0600), 0);
    EXPECT_EQ(ReplaceFileContents(Path("pipe"), "x"), EACCES) << "and never waits on it";
    EXPECT_EQ(ReplaceFileContents(Path("no/such/file"), "x"), ENOENT);
    EXPECT_EQ(ReplaceFileContents("", "x"), ENOENT);
    EXPECT_EQ(Names(), (std::vector<std::string>{"folder", "pipe"}));
}

TEST_F(ReplaceFileTest, RemovesWhatStoppedSavesLeftAndNothingElse) {
    Write("kept", "what a planted link names");
    for (const char* name : {"marks.new", "marks.new-AbCd12", "marks.new-AbCd123", "marks.newer"}) {
        Write(name, "left");
    }
    fs::create_symlink("kept", Path("marks.new-zzzzzz"));
    EXPECT_EQ(ReplaceFileContents(Path("marks"), "saved"), 0);
    EXPECT_EQ(Names(),
              (std::vector<std::string>{"kept", "marks", "marks.new-AbCd123", "marks.newer"}));
    EXPECT_EQ(Read("kept"), "what a planted link names");
}

// Each step of a save as the fault hook sees it, and the error it injects.
std::vector<std::pair<std::string, FileStep>> steps;
FileStep refused_step = FileStep::kWrite;
size_t refused_call = 0;
int RecordAndRefuse(const std::string& path, FileStep step) {
    steps.emplace_back(fs::path(path).filename().string(), step);
    return steps.size() == refused_call && step == refused_step ? EIO : 0;
}

TEST_F(ReplaceFileTest, ARefusedStepLeavesTheOldFileWholeAndNoTemporary) {
    Write("marks", "old");
    SetFileFaultHookForTesting(&RecordAndRefuse);
    refused_call = 0;
    steps.clear();
    EXPECT_EQ(ReplaceFileContents(Path("marks"), "new"), 0);
    ASSERT_EQ(steps.size(), 3u) << "the target opened, the temporary created, then renamed";
    EXPECT_EQ(steps[0], std::make_pair(std::string("marks"), FileStep::kWrite));
    EXPECT_TRUE(steps[1].first.starts_with("marks.new-"));
    EXPECT_EQ(steps[1].second, FileStep::kWrite);
    EXPECT_EQ(steps[2], std::make_pair(steps[1].first, FileStep::kRename));

    for (const auto& [call, step] : {std::pair<size_t, FileStep>{1, FileStep::kWrite},
                                     {2, FileStep::kWrite},
                                     {3, FileStep::kRename}}) {
        steps.clear();
        refused_call = call;
        refused_step = step;
        EXPECT_EQ(ReplaceFileContents(Path("marks"), "newer"), EIO) << call;
        EXPECT_EQ(Read("marks"), "new");
        EXPECT_EQ(Names(), std::vector<std::string>{"marks"});
    }
}

}  // namespace
}  // namespace lexivane_base
