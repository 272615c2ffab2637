// A read-only memory map of a whole file.
#ifndef LEXIVANE_LEXICORE_MAPPED_FILE_H_
#define LEXIVANE_LEXICORE_MAPPED_FILE_H_

#include <cstddef>
#include <memory>

#include "lexicore/status.h"

namespace lexicore {

class MappedFile {
  public:
    // Maps the file open on descriptor fd. The descriptor stays the caller's;
    // the mapping outlives it. An empty file maps to a MappedFile of size 0.
    static Status Map(int fd, std::unique_ptr<MappedFile>* out);

    ~MappedFile();
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    const char* data() const { return data_; }
    size_t size() const { return size_; }
    const char* limit() const { return data_ + size_; }

    // Asks the kernel to read [offset, offset + length) ahead of use.
    void WillNeed(size_t offset, size_t length) const;

  private:
    MappedFile(const char* data, size_t size) : data_(data), size_(size) {}

    const char* data_;
    size_t size_;
};

}  // namespace lexicore

#endif  // LEXIVANE_LEXICORE_MAPPED_FILE_H_
