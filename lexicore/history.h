// The words the user viewed, newest first.
#ifndef LEXIVANE_LEXICORE_HISTORY_H_
#define LEXIVANE_LEXICORE_HISTORY_H_

#include <cstddef>
#include <deque>
#include <string>
#include <string_view>

#include "engine/lexicore.h"

namespace lexicore {

class History {
  public:
    // Puts word at the top. A word already present (ignoring case) moves to
    // the top instead of appearing twice; the oldest word falls off past
    // LXV_HISTORY_LIMIT. An empty word is ignored.
    void Add(std::string_view word);

    size_t count() const { return words_.size(); }

    // Word `index` (0 = newest) as a NUL-terminated string valid until the
    // next Add or Clear; nullptr when index >= count().
    const char* At(size_t index) const;

    void Clear() { words_.clear(); }

  private:
    std::deque<std::string> words_;
};

}  // namespace lexicore

#endif  // LEXIVANE_LEXICORE_HISTORY_H_
