#include "tools/stats.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <map>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "engine/lexicore.h"
#include "lexicore/builder.h"
#include "lexicore/collation.h"
#include "tools/cli.h"
#include "tools/encoding.h"
#include "tools/entry_check.h"
#include "tools/gcide.h"
#include "tools/open_dictionary.h"
#include "tools/wordnet.h"

namespace lexivane_dict {
namespace {

// Large enough for any whole entry, to tell a cut entry from a complete one.
constexpr uint32_t kWholeEntryBufferSize = 1u << 22;
// A quotation counts as shown when this many of its first letters are.
constexpr size_t kQuotationLetters = 24;
// Paragraphs this long that stand twice in one entry are a source entry given twice.
constexpr size_t kRepeatedParagraph = 80;

// Spellings typed with accents or ligatures that their headword may lack, or
// the other way round.
constexpr const char* kTypedSpellings[] = {"na\xEFve",
                                           "caf\xE9",
                                           "ma\xF1"
                                           "ana",
                                           "\xE6sthetic",
                                           "\xC6neid",
                                           "aeneid",
                                           "\x9C"
                                           "dipus"};

// One count with the headwords (or source keys) behind it.
struct Count {
    size_t n = 0;
    std::vector<std::string> names;
    void Add(std::string_view name) {
        ++n;
        names.emplace_back(name);
    }
};

class Measure {
  public:
    Measure(const StatsOptions& options, LXV_HANDLE h, std::ostream& err)
        : options_(options), h_(h), err_(err) {}

    bool Run(std::ostream& out);

  private:
    bool MeasureEntries();
    bool ReadGcideSource();
    bool MeasureCapitals();
    bool MeasureIrregularForms();
    void MeasureSpellings();
    // Reports a source that cannot be read; false.
    bool Failed(const std::string& error);
    // The headword index of `word`: equal ignoring case, else the same
    // letters; kNotFound when there is none.
    uint32_t IndexOf(std::string_view word) const;
    // Whether the nearest headword to `typed` has the letters of `expected`.
    bool Lands(std::string_view typed, std::string_view expected_letters) const;
    std::string Nearest(std::string_view word) const;
    void Report(std::ostream& out, std::string_view name, const Count& count,
                std::string_view of = "") const;

    static constexpr uint32_t kNotFound = UINT32_MAX;

    const StatsOptions& options_;
    const LXV_HANDLE h_;
    std::ostream& err_;
    std::vector<std::string> headwords_;
    std::unordered_map<std::string, uint32_t> by_letters_;
    // The first letters of the quotations of each headword's own source entries.
    std::unordered_map<uint32_t, std::vector<std::string>> quotations_;

    Count no_definition_, stray_head_line_, cut_html_, cut_text_, repeated_, quotations_lost_,
        pronunciation_, html_debris_, notation_, self_miss_, unreachable_, spellings_, capitals_,
        irregular_;
    size_t never_named_ = 0;
    size_t source_keys_ = 0, spellings_checked_ = 0, capitals_checked_ = 0, irregular_checked_ = 0;
    uint64_t html_bytes_ = 0, text_bytes_ = 0;
    size_t longest_ = 0;
    std::string longest_word_;
};

std::string Measure::Nearest(std::string_view word) const {
    const char* nearest = lxv_wordlist_nearest(h_, std::string(word).c_str());
    return nearest == nullptr ? std::string() : nearest;
}

uint32_t Measure::IndexOf(std::string_view word) const {
    const std::string nearest = Nearest(word);
    if (!nearest.empty() && lexicore::FoldEquals(nearest, word)) {
        return lxv_wordlist_on(h_, nearest.c_str());
    }
    const auto it = by_letters_.find(LetterKey(word));
    return it == by_letters_.end() ? kNotFound : it->second;
}

bool Measure::Lands(std::string_view typed, std::string_view expected_letters) const {
    return LetterKey(Nearest(typed)) == expected_letters;
}

bool Measure::MeasureEntries() {
    std::string fitted(LXV_PRINT_BUFFER_SIZE, '\0');
    std::string html(kWholeEntryBufferSize, '\0');
    std::string text(kWholeEntryBufferSize, '\0');
    for (uint32_t i = 0; i < headwords_.size(); ++i) {
        const std::string& word = headwords_[i];
        const LXV_ENTRY entry = lxv_find(h_, word.c_str());
        if (entry == 0 || lxv_printhtml_buf(h_, entry, html.data(), kWholeEntryBufferSize) == 0 ||
            lxv_print_buf(h_, entry, text.data(), kWholeEntryBufferSize) == 0) {
            err_ << options_.dictionary << ": the entry of headword " << i << " cannot be read\n";
            return false;
        }
        const std::string_view whole_html(html.c_str());
        const std::string_view whole_text(text.c_str());
        html_bytes_ += whole_html.size();
        text_bytes_ += whole_text.size();
        if (whole_html.size() > longest_) {
            longest_ = whole_html.size();
            longest_word_ = word;
        }
        bool cut = false;
        if (lxv_printhtml_buf(h_, entry, fitted.data(), LXV_PRINT_BUFFER_SIZE) == 0 ||
            whole_html != fitted.c_str()) {
            cut_html_.Add(word + " (" + std::to_string(whole_html.size()) + " bytes)");
            cut = true;
        }
        if (lxv_print_buf(h_, entry, fitted.data(), LXV_PRINT_BUFFER_SIZE) == 0 ||
            whole_text != fitted.c_str()) {
            cut_text_.Add(word);
        }

        const EntryFindings found = CheckEntry(word, whole_html, whole_text);
        if (!found.definition) no_definition_.Add(word);
        if (found.definition && found.stray_head_line) stray_head_line_.Add(word);
        if (found.pronunciation_marks) pronunciation_.Add(word);
        if (found.html_debris) html_debris_.Add(word);
        if (found.mojibake || !FindGcideNotation(whole_html, true).empty() ||
            !FindGcideNotation(whole_text, false).empty()) {
            notation_.Add(word);
        }
        if (Nearest(word) != word) self_miss_.Add(word);

        std::unordered_set<std::string_view> paragraphs;
        for (size_t at = whole_html.find("<p>"); at != std::string_view::npos;) {
            const size_t next = whole_html.find("<p>", at + 3);
            const std::string_view paragraph = whole_html.substr(at, next - at);
            // A head line may begin two entries of one word ("Boot, v. t.").
            const bool head_line = paragraph.size() > 7 && paragraph.substr(3).starts_with("<b>") &&
                                   std::isalpha(static_cast<unsigned char>(paragraph[6]));
            if (paragraph.size() >= kRepeatedParagraph && !head_line &&
                !paragraphs.insert(paragraph).second) {
                repeated_.Add(word);
                break;
            }
            at = next;
        }

        const auto quoted = quotations_.find(i);
        if (quoted != quotations_.end() && !cut &&
            whole_text.find(kGcideLeftOutEnding) == std::string_view::npos) {
            const std::string letters = LetterKey(whole_text);
            for (const std::string& quotation : quoted->second) {
                if (letters.find(quotation) == std::string::npos) {
                    quotations_lost_.Add(word);
                    break;
                }
            }
        }
    }
    return true;
}

bool Measure::ReadGcideSource() {
    GcideSource source;
    std::string error;
    if (!LoadGcide(options_.gcide_index, &source, &error)) return Failed(error);
    // Per source key (ignoring case): whether a headword has its letters, and
    // whether one of its entries names it.
    std::map<std::string, std::pair<bool, bool>> keys;
    std::unordered_set<const char*> quoted_bodies;
    std::unordered_set<std::string> folded_headwords;
    for (const std::string& word : headwords_) folded_headwords.insert(lexicore::Fold(word));
    for (const GcideRecord& record : source.records) {
        if (record.key.starts_with("00-")) continue;
        const std::string letters = LetterKey(record.key);
        auto& [reached, named] = keys[lexicore::Fold(record.key)];
        reached = letters.empty() ? folded_headwords.count(lexicore::Fold(record.key)) != 0
                                  : by_letters_.count(letters) != 0;
        named = named || GcideNamesKey(record.key, record.body);
        if (!GcideHeadsEntry(record.key, record.body) ||
            !quoted_bodies.insert(record.body.data()).second) {
            continue;
        }
        const uint32_t index = IndexOf(GcideHeadword(record.key, record.body));
        if (index == kNotFound) continue;
        for (const std::string& quotation : GcideQuotations(record.body)) {
            // A bracket code's letters need not be the letters it shows ("[pounds]" £).
            if (quotation.find('[') != std::string::npos) continue;
            const std::string start = GcideLetters(quotation).substr(0, kQuotationLetters);
            if (start.size() == kQuotationLetters) quotations_[index].push_back(start);
        }
    }
    source_keys_ = keys.size();
    for (const auto& [key, found] : keys) {
        if (found.first) continue;
        unreachable_.Add(key + (found.second ? "" : " (never named in its entry)"));
        if (!found.second) ++never_named_;
    }
    return true;
}

void Measure::MeasureSpellings() {
    // Each accented headword by its plain spelling, each ligature written
    // out, and each "ae" and "oe" written as the ligature.
    for (const std::string& word : headwords_) {
        const std::string letters = LetterKey(word);
        const std::string plain = lexicore::MatchFold(word);
        std::string tied = plain;
        for (const auto& [pair, ligature] : {std::pair<std::string, char>{"ae", '\xE6'},
                                             std::pair<std::string, char>{"oe", '\x9C'}}) {
            for (size_t at = tied.find(pair); at != std::string::npos; at = tied.find(pair, at)) {
                tied.replace(at, 2, 1, ligature);
            }
        }
        for (const std::string& typed : {plain, tied}) {
            if (lexicore::FoldEquals(typed, word)) continue;
            ++spellings_checked_;
            if (!Lands(typed, letters)) spellings_.Add(typed + " -> " + Nearest(typed));
        }
    }
    for (const char* typed : kTypedSpellings) {
        const std::string letters = LetterKey(typed);
        if (by_letters_.count(letters) == 0) continue;
        ++spellings_checked_;
        if (!Lands(typed, letters)) {
            spellings_.Add(std::string(typed) + " -> " + Nearest(typed));
        }
    }
}

bool Measure::MeasureCapitals() {
    WordNetSpellings spellings;
    std::string error;
    if (!ReadWordNetSpellings(options_.wordnet_data, &spellings, &error)) return Failed(error);
    for (const auto& [word, forms] : spellings) {
        const std::string only = ToWindows1252(OnlySpelling(spellings, word));
        if (only.empty()) continue;
        const uint32_t index = IndexOf(only);
        if (index == kNotFound || !lexicore::FoldEquals(headwords_[index], only)) continue;
        ++capitals_checked_;
        if (headwords_[index] != only) capitals_.Add(only);
    }
    std::sort(capitals_.names.begin(), capitals_.names.end());
    return true;
}

bool Measure::Failed(const std::string& error) {
    err_ << error << "\n";
    return false;
}

bool Measure::MeasureIrregularForms() {
    std::vector<std::pair<std::string, std::string>> pairs;
    std::string error;
    if (!ReadWordNetExceptionList(options_.exceptions_dir + "/verb.exc", &pairs, &error)) {
        return Failed(error);
    }
    for (auto& pair : CommonIrregularForms()) pairs.push_back(std::move(pair));
    std::map<std::string, std::vector<std::string>> bases;
    for (auto& [form, base] : pairs) bases[form].push_back(base);
    std::string html(kWholeEntryBufferSize, '\0');
    for (const auto& [form, candidates] : bases) {
        // A form reaches its base when it lands there, on a headword of its
        // own written as it is typed (WordNet's adjective "broken"), or on a
        // headword of its own whose entry shows the base's head line.
        const std::string nearest = Nearest(form);
        if (nearest == form) continue;
        const LXV_ENTRY own =
            lexicore::FoldEquals(nearest, form) ? lxv_find(h_, nearest.c_str()) : 0;
        const bool printed =
            own != 0 && lxv_printhtml_buf(h_, own, html.data(), kWholeEntryBufferSize) != 0;
        bool known = false;
        bool reached = false;
        for (const std::string& base : candidates) {
            if (lxv_find(h_, base.c_str()) == 0) continue;
            known = true;
            reached = reached || lexicore::FoldEquals(nearest, base) ||
                      (printed && ShowsHeadLineOf(html.c_str(), base));
        }
        if (!known) continue;
        ++irregular_checked_;
        if (!reached) irregular_.Add(form + " -> " + nearest);
    }
    return true;
}

void Measure::Report(std::ostream& out, std::string_view name, const Count& count,
                     std::string_view of) const {
    out << name << ": " << count.n << of << "\n";
}

bool Measure::Run(std::ostream& out) {
    const uint32_t count = lxv_wordlist_count(h_);
    headwords_.reserve(count);
    for (uint32_t i = 0; i < count; ++i) {
        const char* word = lxv_wordlist_at(h_, i);
        headwords_.emplace_back(word == nullptr ? "" : word);
        by_letters_.emplace(LetterKey(headwords_.back()), i);
    }
    if (!options_.gcide_index.empty() && !ReadGcideSource()) return false;
    if (!MeasureEntries()) return false;
    MeasureSpellings();
    if (!options_.wordnet_data.empty() && !MeasureCapitals()) return false;
    if (!options_.exceptions_dir.empty() && !MeasureIrregularForms()) return false;

    out << "headwords: " << count << "\n"
        << "entry text: " << html_bytes_ << " bytes of HTML, " << text_bytes_ << " bytes of text\n";
    if (count > 0) {
        out << "longest entry: '" << Windows1252ToUtf8(longest_word_) << "', " << longest_
            << " bytes of HTML\n";
    }
    auto of = [](size_t n) { return " of " + std::to_string(n); };
    Report(out, "entries without a definition", no_definition_);
    Report(out, "entries with a stray head line", stray_head_line_);
    if (!options_.gcide_index.empty()) {
        Report(
            out, "source headwords without a headword", unreachable_,
            of(source_keys_) + ", " + std::to_string(never_named_) + " never named in their entry");
    }
    out << "entries cut to fit " << LXV_PRINT_BUFFER_SIZE << " bytes: " << cut_html_.n
        << " as HTML, " << cut_text_.n << " as text\n";
    Report(out, "entries holding a paragraph twice", repeated_);
    if (!options_.gcide_index.empty()) {
        Report(out, "entries missing quotations without a note", quotations_lost_);
    }
    Report(out, "entries with marks in a pronunciation", pronunciation_);
    Report(out, "entries with source HTML", html_debris_);
    Report(out, "spellings that miss their headword", spellings_, of(spellings_checked_));
    if (!options_.wordnet_data.empty()) {
        Report(out, "headwords without the source's capitals", capitals_, of(capitals_checked_));
    }
    if (!options_.exceptions_dir.empty()) {
        Report(out, "irregular forms that miss their base", irregular_, of(irregular_checked_));
    }
    Report(out, "entries with source notation or mojibake", notation_);
    Report(out, "headwords that do not reach themselves", self_miss_);
    if (!options_.list) return true;
    const std::pair<const char*, const Count*> lists[] = {
        {"without a definition", &no_definition_},
        {"stray head line", &stray_head_line_},
        {"source headword without a headword", &unreachable_},
        {"cut", &cut_html_},
        {"paragraph twice", &repeated_},
        {"quotations missing", &quotations_lost_},
        {"marks in a pronunciation", &pronunciation_},
        {"source HTML", &html_debris_},
        {"spelling", &spellings_},
        {"capitals", &capitals_},
        {"irregular form", &irregular_},
        {"notation or mojibake", &notation_},
        {"does not reach itself", &self_miss_},
    };
    for (const auto& [label, list] : lists) {
        for (const std::string& name : list->names) {
            out << label << ": " << Windows1252ToUtf8(name) << "\n";
        }
    }
    return true;
}

}  // namespace

int RunStats(const StatsOptions& options, std::ostream& out, std::ostream& err) {
    OpenDictionary dictionary;
    std::string error;
    if (!dictionary.Open(options.dictionary, &error)) {
        err << error << "\n";
        return kExitFailure;
    }
    struct stat st;
    if (stat(options.dictionary.c_str(), &st) != 0) {
        err << options.dictionary << ": " << std::strerror(errno) << "\n";
        return kExitFailure;
    }
    out << "file: " << options.dictionary << "\n"
        << "size: " << st.st_size << " bytes\n";
    Measure measure(options, dictionary.handle(), err);
    return measure.Run(out) ? kExitSuccess : kExitFailure;
}

}  // namespace lexivane_dict
