// A fresh directory for one test, removed with everything in it afterwards.
#ifndef LEXIVANE_TESTS_TOOLS_TEMP_DIR_H_
#define LEXIVANE_TESTS_TOOLS_TEMP_DIR_H_

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

class TempDir {
  public:
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "lexivane-XXXXXX").string();
        path_ = mkdtemp(pattern.data());
    }
    ~TempDir() { std::filesystem::remove_all(path_); }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }

    // Writes `contents` to the file `name` inside the directory; returns its path.
    std::string Write(const std::string& name, std::string_view contents) const {
        std::string file = path_ + "/" + name;
        std::ofstream(file, std::ios::binary)
            .write(contents.data(), static_cast<std::streamsize>(contents.size()));
        return file;
    }

    // Number of entries in the directory.
    int FileCount() const {
        int n = 0;
        for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(path_)) ++n;
        return n;
    }

  private:
    std::string path_;
};

#endif  // LEXIVANE_TESTS_TOOLS_TEMP_DIR_H_
