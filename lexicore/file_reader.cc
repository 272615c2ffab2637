#include "lexicore/file_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

namespace lexicore {

Status FileReader::Open(int fd, std::unique_ptr<FileReader>* out) {
    struct stat st;
    if (fd < 0 || fstat(fd, &st) != 0) {
        return Status::Invalid(std::string("cannot examine the file: ") + std::strerror(errno));
    }
    if (!S_ISREG(st.st_mode)) return Status::Invalid("not a regular file");
    const int own = fcntl(fd, F_DUPFD_CLOEXEC, 3);
    if (own < 0) return Status::IoError(std::string("cannot open: ") + std::strerror(errno));
    out->reset(new FileReader(own, static_cast<uint64_t>(st.st_size)));
    return Status::Ok();
}

FileReader::~FileReader() {
    close(fd_);
}

Status FileReader::ReadAt(uint64_t offset, size_t length, char* out) const {
    while (length > 0) {
        if (offset > static_cast<uint64_t>(INT64_MAX)) return Status::Corrupt("read past the file");
        const ssize_t n = pread(fd_, out, length, static_cast<off_t>(offset));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return Status::IoError(std::string("cannot read: ") + std::strerror(errno));
        if (n == 0) return Status::Corrupt("the file ends early");
        out += n;
        offset += static_cast<uint64_t>(n);
        length -= static_cast<size_t>(n);
    }
    return Status::Ok();
}

}  // namespace lexicore
