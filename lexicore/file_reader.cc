#include "lexicore/file_reader.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
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

std::unique_ptr<RegionBuffer> RegionBuffer::Allocate(size_t size) {
    constexpr size_t kHugePage = size_t{2} << 20;
    const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
    if (size > SIZE_MAX - kHugePage - page) return nullptr;
    const size_t length = (size + page - 1) / page * page + (size == 0 ? page : 0);
    if (length < kHugePage) {
        void* p = mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (p == MAP_FAILED) return nullptr;
        return std::unique_ptr<RegionBuffer>(new RegionBuffer(static_cast<char*>(p), length));
    }
    // Map a huge page more than needed, then give back what lies before the
    // first 2 MiB boundary and after the region.
    const size_t reserved = length + kHugePage;
    void* p = mmap(nullptr, reserved, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED) return nullptr;
    const size_t head = (kHugePage - reinterpret_cast<uintptr_t>(p) % kHugePage) % kHugePage;
    char* data = static_cast<char*>(p) + head;
    if (head > 0) munmap(p, head);
    const size_t tail = reserved - head - length;
    if (tail > 0) munmap(data + length, tail);
    madvise(data, length, MADV_HUGEPAGE);  // only a hint: plain pages serve as well
    return std::unique_ptr<RegionBuffer>(new RegionBuffer(data, length));
}

RegionBuffer::~RegionBuffer() {
    munmap(data_, mapped_);
}

}  // namespace lexicore
