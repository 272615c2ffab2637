#include "tools/open_dictionary.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace lexivane_dict {

OpenDictionary::~OpenDictionary() {
    if (handle_ != 0) lxv_closefile(&handle_);
    for (const int fd : fds_) {
        if (fd >= 0) close(fd);
    }
}

bool OpenDictionary::Open(const std::string& path, std::string* error) {
    fds_[0] = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fds_[0] < 0) {
        *error = path + ": cannot open: " + std::strerror(errno);
        return false;
    }
    static const char* const kScratch[] = {"listpad", "datapad", "miscpad", "zippad"};
    for (int i = 0; i < 4; ++i) {
        fds_[i + 1] = memfd_create(kScratch[i], MFD_CLOEXEC);
        if (fds_[i + 1] < 0) {
            *error = std::string("cannot create scratch file: ") + std::strerror(errno);
            return false;
        }
    }
    handle_ = lxv_openfile(fds_[0], fds_[1], fds_[2], fds_[3], fds_[4]);
    if (handle_ == 0) {
        *error = path + ": not a usable dictionary file";
        return false;
    }
    return true;
}

}  // namespace lexivane_dict
