#include "tools/source_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace lexivane_dict {

bool ReadSourceFile(const std::string& path, std::string* contents, std::string* error) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        *error = path + ": cannot read: " + std::strerror(errno);
        return false;
    }
    contents->clear();
    char buffer[1 << 16];
    for (;;) {
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            *error = path + ": cannot read: " + std::strerror(errno);
            close(fd);
            return false;
        }
        if (n == 0) break;
        contents->append(buffer, static_cast<size_t>(n));
    }
    close(fd);
    return true;
}

bool ForEachLine(std::string_view text, const std::function<bool(std::string_view, int)>& visit) {
    int number = 0;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (!visit(line, ++number)) return false;
    }
    return true;
}

std::string LineError(const std::string& path, int line, std::string_view message) {
    return path + ":" + std::to_string(line) + ": " + std::string(message);
}

}  // namespace lexivane_dict
