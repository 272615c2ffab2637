#include "lexicore/mapped_file.h"

#include <sys/mman.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <string>

namespace lexicore {

Status MappedFile::Map(int fd, std::unique_ptr<MappedFile>* out) {
    struct stat st;
    if (fd < 0 || fstat(fd, &st) != 0) {
        return Status::IoError(std::string("cannot examine the file: ") + std::strerror(errno));
    }
    if (!S_ISREG(st.st_mode)) return Status::Invalid("not a regular file");
    if (st.st_size < 0 || static_cast<uint64_t>(st.st_size) > SIZE_MAX) {
        return Status::Invalid("file too large");
    }
    const auto size = static_cast<size_t>(st.st_size);
    if (size == 0) {
        out->reset(new MappedFile(nullptr, 0));
        return Status::Ok();
    }
    void* p = mmap(nullptr, size, PROT_READ, MAP_SHARED, fd, 0);
    if (p == MAP_FAILED) {
        return Status::IoError(std::string("cannot map the file: ") + std::strerror(errno));
    }
    out->reset(new MappedFile(static_cast<const char*>(p), size));
    return Status::Ok();
}

MappedFile::~MappedFile() {
    if (data_ != nullptr) munmap(const_cast<char*>(data_), size_);
}

void MappedFile::WillNeed(size_t offset, size_t length) const {
    if (data_ == nullptr || offset >= size_) return;
    const size_t page = 4096;
    const size_t start = offset & ~(page - 1);
    const size_t end = length > size_ - offset ? size_ : offset + length;
    madvise(const_cast<char*>(data_) + start, end - start, MADV_WILLNEED);
}

}  // namespace lexicore
