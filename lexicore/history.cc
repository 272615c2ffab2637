#include "lexicore/history.h"

#include <algorithm>

#include "lexicore/collation.h"

namespace lexicore {

void History::Add(std::string_view word) {
    if (word.empty()) return;
    const auto same = std::find_if(words_.begin(), words_.end(),
                                   [&](const std::string& w) { return FoldEquals(w, word); });
    if (same != words_.end()) words_.erase(same);
    words_.emplace_front(word);
    if (words_.size() > LXV_HISTORY_LIMIT) words_.pop_back();
}

const char* History::At(size_t index) const {
    return index < words_.size() ? words_[index].c_str() : nullptr;
}

}  // namespace lexicore
