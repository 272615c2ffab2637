#include "tests/engine/test_dictionary.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

namespace lexicore::testing {

TempDir::TempDir() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "lexicore-test-XXXXXX").string();
    const char* made = mkdtemp(pattern.data());
    if (made == nullptr) {
        ADD_FAILURE() << "cannot create a temporary directory";
        return;
    }
    path_ = made;
}

TempDir::~TempDir() {
    std::error_code ec;
    if (!path_.empty()) std::filesystem::remove_all(path_, ec);
}

std::vector<std::string> TempDir::List() const {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(path_)) {
        names.push_back(e.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

SourceEntry Entry(const std::string& headword, const std::string& body, uint8_t pos) {
    return SourceEntry{headword, "<b>" + headword + "</b> " + body, headword + ": " + body, pos};
}

void Build(const DictionarySource& source, const std::string& path, BuildStats* stats) {
    std::string error;
    ASSERT_TRUE(WriteDictionary(source, path, stats, &error)) << error;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFile(const std::string& path, const std::string& data) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(data.data(), static_cast<std::streamsize>(data.size()));
    ASSERT_TRUE(out.good()) << path;
}

OpenDictionary::OpenDictionary(const std::string& path) {
    fds_[0] = open(path.c_str(), O_RDONLY);
    const char* scratch[] = {"listpad.pdb", "datapad.pdb", "miscpad.pdb", "zippad.pdb"};
    for (int i = 0; i < 4; ++i) {
        fds_[i + 1] = open(scratch_.File(scratch[i]).c_str(), O_RDWR | O_CREAT | O_TRUNC, 0644);
    }
    handle_ = lxv_openfile(fds_[0], fds_[1], fds_[2], fds_[3], fds_[4]);
    if (handle_ == 0) error_ = errno;
}

OpenDictionary::~OpenDictionary() {
    if (handle_ != 0) lxv_closefile(&handle_);
    for (int fd : fds_) {
        if (fd >= 0) close(fd);
    }
}

DictionarySource SampleSource() {
    DictionarySource s;
    const uint8_t n = kNoun, v = kVerb, a = kAdjective;
    s.entries = {
        Entry("cat", "a small domesticated carnivore", n),
        Entry("a", "the first letter of the alphabet", n),
        Entry("aardvark", "a burrowing mammal of Africa", n),
        Entry("abandon", "to give up completely", v),
        Entry("ba", "the soul, in Egyptian belief", n),
        Entry("basal", "of the base", a),
        Entry("base", "the lowest part", n | v),
        Entry("catsup", "a tomato sauce", n),
        Entry("goose", "a web-footed bird", n),
        Entry("run", "to move fast on foot", v | n),
        Entry("ranch", "a large farm", n),
        Entry("study", "to apply the mind", v | n),
        Entry("hope", "to want something to happen", v | n),
        Entry("hop", "to jump on one foot", v),
        Entry("big", "of great size", a),
        Entry("happy", "feeling joy", a),
        Entry("late", "after the expected time", a),
        Entry("wolf", "a wild dog", n),
        Entry("knife", "a cutting tool", n),
        Entry("horse", "a large hoofed animal", n),
        Entry("box", "a container", n | v),
        Entry("bus", "a large motor vehicle", n),
        Entry("quick", "fast", a),
        Entry("zebra", "a striped horse", n),
        Entry("tyrannosaurus rex", "a large dinosaur", n),
        Entry("zymurgy", "the chemistry of fermentation", n),
        Entry("caf\xe9", "a small restaurant", n),
        Entry("cafe", "a coffee house", n),
        Entry("Cat", "a cat-o'-nine-tails", n),
        Entry("CAT", "computerized axial tomography", n),
        Entry("Abba", "a Swedish pop group", n),
        Entry("1900s", "the decade", n),
        Entry("'hood", "a neighbourhood", n),
        Entry("a cappella", "without accompaniment", a),
        Entry("a-one", "excellent", a),
        Entry("man", "an adult male person", n),
        Entry("sing", "to produce musical tones", v),
        Entry("singe", "to burn superficially", v),
    };
    s.exceptions = {{"geese", "goose"}, {"ran", "run"}, {"is", "be"}, {"mice", "mouse"}};
    return s;
}

}  // namespace lexicore::testing
