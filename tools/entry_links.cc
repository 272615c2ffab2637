#include "tools/entry_links.h"

#include <algorithm>

#include "lexicore/builder.h"
#include "lexicore/collation.h"
#include "tools/encoding.h"

namespace lexivane_dict {

void LinkTargets::Add(std::string_view headword) {
    auto [it, inserted] = by_folded_.try_emplace(lexicore::Fold(headword), headword);
    if (!inserted) lexicore::MergeSpelling(&it->second, headword);
}

const std::string* LinkTargets::Find(std::string_view word, std::string_view own_folded) const {
    const std::string folded = lexicore::Fold(word);
    if (folded == own_folded) return nullptr;
    const auto it = by_folded_.find(folded);
    return it == by_folded_.end() ? nullptr : &it->second;
}

bool IsSenseNumber(std::string_view s) {
    if (s.empty() || s.size() > 3 || s[0] < '0' || s[0] > '9') return false;
    size_t i = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i;
    return i == s.size() || (i + 1 == s.size() && s[i] >= 'a' && s[i] <= 'e');
}

std::string_view ReferencedWord(std::string_view shown) {
    if (shown.find('\n') != std::string_view::npos) return {};
    const size_t open = shown.rfind('(');
    if (shown.ends_with(')') && open != std::string_view::npos && open > 0 &&
        shown[open - 1] != ' ' && IsSenseNumber(shown.substr(open + 1, shown.size() - open - 2))) {
        shown = shown.substr(0, open);
    }
    while (!shown.empty() &&
           std::string_view(" \t.,;:").find(shown.back()) != std::string_view::npos) {
        shown.remove_suffix(1);
    }
    while (!shown.empty() && (shown.front() == ' ' || shown.front() == '\t'))
        shown.remove_prefix(1);
    if (shown.size() > 3 && (shown.starts_with("To ") || shown.starts_with("to "))) {
        shown.remove_prefix(3);
    }
    return shown;
}

void AppendLinkStart(std::string_view target, std::string* html) {
    html->append(kLinkStart);
    for (const char c : target) AppendHtmlByte(c, html);
    html->append("\">");
}

size_t ShownBytes(std::string_view html) {
    return html.size() -
           static_cast<size_t>(std::count(html.begin(), html.end(), lexicore::kSenseBreak));
}

std::string WithoutLinks(std::string_view html) {
    std::string out;
    size_t from = 0;
    for (size_t at = html.find(kLinkStart); at != std::string_view::npos;
         at = html.find(kLinkStart, from)) {
        const size_t tag_end = html.find("\">", at);
        const size_t end = html.find(kLinkEnd, at);
        if (tag_end == std::string_view::npos || end == std::string_view::npos) break;
        out.append(html.substr(from, at - from));
        out.append(html.substr(tag_end + 2, end - tag_end - 2));
        from = end + kLinkEnd.size();
    }
    out.append(html.substr(from));
    return out;
}

size_t CountLinks(std::string_view html) {
    size_t count = 0;
    for (size_t at = html.find(kLinkStart); at != std::string_view::npos;
         at = html.find(kLinkStart, at + kLinkStart.size())) {
        ++count;
    }
    return count;
}

}  // namespace lexivane_dict
