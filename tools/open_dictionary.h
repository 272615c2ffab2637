// A compiled dictionary opened through the engine's C interface, the way the
// program opens it, for the commands that look into a built file.
#ifndef LEXIVANE_TOOLS_OPEN_DICTIONARY_H_
#define LEXIVANE_TOOLS_OPEN_DICTIONARY_H_

#include <string>

#include "engine/lexicore.h"

namespace lexivane_dict {

// The dictionary file and four anonymous scratch files as the engine's
// working storage; everything is closed with the object. Not copyable.
class OpenDictionary {
  public:
    OpenDictionary() = default;
    ~OpenDictionary();
    OpenDictionary(const OpenDictionary&) = delete;
    OpenDictionary& operator=(const OpenDictionary&) = delete;

    // False with *error ("path: message") when the file cannot be opened or
    // the engine refuses it.
    bool Open(const std::string& path, std::string* error);

    // The engine handle; 0 until Open succeeds.
    LXV_HANDLE handle() const { return handle_; }

  private:
    LXV_HANDLE handle_ = 0;
    int fds_[5] = {-1, -1, -1, -1, -1};
};

}  // namespace lexivane_dict

#endif  // LEXIVANE_TOOLS_OPEN_DICTIONARY_H_
