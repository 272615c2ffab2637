// Test support: dictionaries compiled with WriteDictionary into a temporary
// directory and opened through the engine's C interface.
#ifndef LEXIVANE_TESTS_ENGINE_TEST_DICTIONARY_H_
#define LEXIVANE_TESTS_ENGINE_TEST_DICTIONARY_H_

#include <cstdint>
#include <string>
#include <vector>

#include "engine/lexicore.h"
#include "lexicore/builder.h"

namespace lexicore::testing {

// A fresh directory removed with everything in it at destruction.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "/" + name; }
    // Names of the files in the directory, sorted.
    std::vector<std::string> List() const;

  private:
    std::string path_;
};

// An entry whose HTML is "<b>word</b> html" and whose text is "word: text".
SourceEntry Entry(const std::string& headword, const std::string& body, uint8_t pos = 0);

// Compiles source to `path`; fails the current test on error.
void Build(const DictionarySource& source, const std::string& path, BuildStats* stats = nullptr);

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& data);

// Opens `path` with lxv_openfile (four scratch files in a temporary directory
// of its own) and closes everything at destruction. handle() is 0 when the engine refused the file.
class OpenDictionary {
  public:
    explicit OpenDictionary(const std::string& path);
    ~OpenDictionary();
    OpenDictionary(const OpenDictionary&) = delete;
    OpenDictionary& operator=(const OpenDictionary&) = delete;

    LXV_HANDLE handle() const { return handle_; }
    // errno as lxv_openfile left it when it refused the file; 0 when it opened.
    int error() const { return error_; }

  private:
    TempDir scratch_;
    int fds_[5] = {-1, -1, -1, -1, -1};
    LXV_HANDLE handle_ = 0;
    int error_ = 0;
};

// The dictionary most contract tests share: a few dozen real-looking words.
DictionarySource SampleSource();

}  // namespace lexicore::testing

#endif  // LEXIVANE_TESTS_ENGINE_TEST_DICTIONARY_H_
