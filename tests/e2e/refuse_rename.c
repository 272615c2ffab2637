/* Preloaded into the program by the end-to-end suite: while the file that
 * LEXIVANE_E2E_REFUSE names exists, every rename fails with EACCES, as on a
 * disk that refuses the change. Root, who runs the suite in CI, is not
 * stopped by permission bits; this stands in for them. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

int rename(const char* from, const char* to) {
    static int (*real_rename)(const char*, const char*);
    const char* marker = getenv("LEXIVANE_E2E_REFUSE");
    if (marker != NULL && access(marker, F_OK) == 0) {
        errno = EACCES;
        return -1;
    }
    if (real_rename == NULL) {
        real_rename = (int (*)(const char*, const char*))dlsym(RTLD_NEXT, "rename");
        if (real_rename == NULL) {
            errno = ENOSYS;
            return -1;
        }
    }
    return real_rename(from, to);
}
