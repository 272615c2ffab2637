#include "tools/gcide.h"

#include <algorithm>
#include <thread>
#include <unordered_map>
#include <unordered_set>

#include "base/windows1252.h"
#include "engine/lexicore.h"
#include "lexicore/collation.h"
#include "lexicore/entry_text.h"
#include "tools/dictd.h"
#include "tools/gcide_codes.h"
#include "tools/source_file.h"

namespace lexivane_dict {

using gcide::FindFragment;
using gcide::FormOf;
using gcide::Fragment;
using gcide::FragmentKind;
using gcide::HeadForms;
using gcide::HeadPartsOfSpeech;
using gcide::IsAlpha;
using gcide::IsBlank;
using gcide::IsDigit;
using gcide::IsQuotation;
using gcide::IsSourceNote;
using gcide::IsSourceNoteLine;
using gcide::Lower;
using gcide::MatchClose;
using gcide::NamesOnly;
using gcide::Paragraph;
using gcide::SplitParagraphs;
using gcide::Trim;
using gcide::WordAt;
using lexicore::kSenseBreak;

namespace {

// The entry text of a record without what dict-gcide's text leaves around
// some entries: the next entry's headword after the source note that closes
// about 4,000 entries ("[1913 Webster] Abannation") or, when `keys` (the
// index keys) is given, the sentence that ends some ("imp. of {Do}.
// Didactic"), and lines of the previous entry before the head line at the
// left margin (the entry of "0" starts with a stray quotation). Text after a
// closing note that runs on a derived word ("-- {Rot"ten*ly}, adv.") or is
// another note stays.
std::string_view EntryText(std::string_view body, const std::unordered_set<std::string>* keys) {
    const size_t first = body.find_first_not_of('\n');
    if (first != std::string_view::npos && IsBlank(body[first])) {
        for (size_t eol = body.find('\n'); eol != std::string_view::npos;
             eol = body.find('\n', eol + 1)) {
            const std::string_view rest = body.substr(eol + 1);
            if (!rest.empty() && !IsBlank(rest.front()) && rest.front() != '\n' &&
                rest.substr(0, rest.find('\n')).find('\\') != std::string_view::npos) {
                body = rest;
                break;
            }
        }
    }
    size_t end = body.size();
    while (end > 0 && (body[end - 1] == '\n' || IsBlank(body[end - 1]))) --end;
    const size_t eol = end == 0 ? std::string_view::npos : body.rfind('\n', end - 1);
    const size_t start = eol == std::string_view::npos ? 0 : eol + 1;
    size_t at = start;
    while (at < end && IsBlank(body[at])) ++at;
    // "imp. of {Do}. Didactic": the next headword after a closing sentence.
    const size_t space = body.rfind(' ', end - 1);
    if (keys != nullptr && space != std::string_view::npos && space > at &&
        body[space - 1] == '.' && body[space + 1] >= 'A' && body[space + 1] <= 'Z' &&
        keys->count(std::string(body.substr(space + 1, end - space - 1))) != 0) {
        return body.substr(0, space);
    }
    if (start == 0 || at == end || body[at] != '[') return body;
    const size_t close = MatchClose(body.substr(0, end), at, '[', ']');
    if (close == std::string_view::npos || !IsSourceNote(body.substr(at + 1, close - at - 1))) {
        return body;
    }
    const std::string_view after = Trim(body.substr(close + 1, end - close - 1));
    if (after.empty() || after.starts_with("--") || after.starts_with('[')) return body;
    return body.substr(0, close + 1);
}

bool IsDatabaseNote(std::string_view key) {
    return key.starts_with("00-database-") || key.starts_with("00-gcide-") ||
           key.starts_with("00-web1913-");
}

// The parts of a headword's entry, in the order it shows them.
enum Rank : uint8_t {
    kOwnEntry = 0,   // an entry the headword heads
    kOwnLine = 1,    // a run-on line or a sub-entry of another entry: its own head line
    kWordEntry = 2,  // the whole entry of the word it is a form of
    kBaseEntry = 3,  // the entry of the base of an irregular form
};

// One part of a headword's entry, to be rendered.
struct Job {
    std::string headword;      // as shown
    std::string group;         // the headword as the builder merges it (case folded)
    std::string_view entry;    // the source entry the part comes from
    std::string_view part_of;  // the part: all of `entry` or some of its paragraphs
    GcidePart part = GcidePart::kEntry;
    Rank rank = kOwnEntry;
    std::string without;  // `entry` without a run-on line shown before it, when not empty

    std::string_view Text() const { return without.empty() ? part_of : without; }
};

// What a long entry leaves out to fit the print buffer, step by step: each
// step turns one more of GcideLayout's members off. The spacing costs no
// content and goes unmentioned in the note.
struct Omission {
    bool GcideLayout::*part;
    std::string_view name;  // for the note, empty for the spacing
};

constexpr Omission kOmissions[] = {
    {&GcideLayout::quotations, "quotations"}, {&GcideLayout::etymologies, "etymologies"},
    {&GcideLayout::examples, "examples"},     {&GcideLayout::spacing, ""},
    {&GcideLayout::phrases, "phrases"},
};

// "Quotations, etymologies and examples are left out of this long entry."
std::string LeftOutNote(const std::vector<std::string_view>& names) {
    std::string note;
    for (size_t i = 0; i < names.size(); ++i) {
        if (i > 0) note += i + 1 == names.size() ? " and " : ", ";
        note += names[i];
    }
    note[0] = static_cast<char>(note[0] - 'a' + 'A');
    note += " are";
    return std::string(1, kSenseBreak) + "<p><i>" + note + std::string(kGcideLeftOutEnding) +
           "</i></p>";
}

// Runs fn(i) for i in [0, n) on the machine's cores.
template <typename Fn>
void ForEachParallel(size_t n, Fn fn) {
    const size_t workers = std::clamp<size_t>(std::thread::hardware_concurrency(), 1, 8);
    if (workers == 1 || n < 1000) {
        for (size_t i = 0; i < n; ++i) fn(i);
        return;
    }
    std::vector<std::thread> threads;
    for (size_t t = 0; t < workers; ++t) {
        threads.emplace_back([&, t]() {
            for (size_t i = t; i < n; i += workers) fn(i);
        });
    }
    for (std::thread& thread : threads) thread.join();
}

// What the index lines say before any is converted.
struct IndexLines {
    std::vector<std::string_view> bodies;             // each line's entry text (EntryText)
    std::vector<uint8_t> own;                         // whether the line's key heads that entry
    std::vector<size_t> kept;                         // the lines to convert, in index order
    std::unordered_set<std::string> keys_with_entry;  // folded keys with an entry of their own
    // Own entries by the letters of their keys, for finding a form's base.
    std::unordered_map<std::string, std::vector<std::string_view>> own_bodies;
    // The index splits a few entries: the words run on after one have a line
    // of their own that starts right where the entry's line ends.
    std::unordered_map<const char*, std::string_view> own_by_end;
};

// The first stage: each line's entry text, whether its key heads it, and the
// lines kept; the database's notes and repeated lines are skipped.
IndexLines ReadIndexLines(const std::vector<GcideRecord>& records, GcideStats* st) {
    IndexLines lines;
    std::unordered_set<std::string> index_keys;
    for (const GcideRecord& r : records) index_keys.insert(r.key);
    lines.bodies.resize(records.size());
    lines.own.resize(records.size());
    ForEachParallel(records.size(), [&](size_t i) {
        lines.bodies[i] = EntryText(records[i].body, &index_keys);
        lines.own[i] = GcideHeadsEntry(Trim(records[i].key), lines.bodies[i]);
    });
    std::unordered_set<std::string> seen;
    for (size_t i = 0; i < records.size(); ++i) {
        const std::string lower = lexicore::Fold(Trim(records[i].key));
        if (IsDatabaseNote(records[i].key) ||
            !seen.insert(lower + '\n' +
                         std::to_string(reinterpret_cast<uintptr_t>(records[i].body.data())))
                 .second) {
            ++st->skipped;
            continue;
        }
        if (lines.own[i]) {
            lines.keys_with_entry.insert(lower);
            lines.own_bodies[GcideLetters(records[i].key)].push_back(lines.bodies[i]);
            lines.own_by_end[records[i].body.data() + records[i].body.size()] = lines.bodies[i];
        }
        lines.kept.push_back(i);
    }
    return lines;
}

// The parts that the index line `record`, whose entry text is `body`, gives
// its headword: its own entry; or of another word's entry, its own line and,
// for a form of that word, the whole entry. None for a line that names
// nothing of its own. `irregular_forms` are the lower-case irregular forms.
std::vector<Job> LineParts(const GcideRecord& record, std::string_view body, bool own,
                           const IndexLines& lines,
                           const std::unordered_set<std::string>& irregular_forms) {
    const std::string_view key = Trim(record.key);
    std::string headword = GcideHeadword(key, body);
    const std::string group = lexicore::Fold(headword);
    // An irregular form is a word in lower case, whatever Webster's
    // capitals ("Does", "Wrote").
    if (irregular_forms.count(group) != 0 &&
        lexicore::IsLowerCase(std::string_view(headword).substr(1))) {
        headword = group;
    }
    std::vector<Job> jobs;
    if (own) {
        jobs.push_back({headword, group, body, body, GcidePart::kEntry, kOwnEntry, ""});
        return jobs;
    }
    Fragment fragment;
    if (!FindFragment(key, body, lines.keys_with_entry.count(lexicore::Fold(key)) != 0,
                      &fragment)) {
        return jobs;
    }
    if (fragment.kind != FragmentKind::kForm) {
        jobs.push_back({headword, group, body, fragment.text, fragment.part, kOwnLine, ""});
    }
    if (fragment.kind == FragmentKind::kParagraph && !NamesOnly(fragment.text)) return jobs;
    if (fragment.kind == FragmentKind::kRunOn && fragment.text.size() == body.size()) {
        const char* start = record.body.data();
        for (int gap = 0; gap < 4; ++gap) {
            const auto before = lines.own_by_end.find(start - gap);
            if (before != lines.own_by_end.end()) {
                jobs.push_back({headword, group, before->second, before->second, GcidePart::kEntry,
                                kWordEntry, ""});
                break;
            }
        }
        return jobs;
    }
    Job& whole =
        jobs.emplace_back(Job{headword, group, body, body, GcidePart::kEntry, kWordEntry, ""});
    if (fragment.kind == FragmentKind::kRunOn) {
        // The run-on line stands first; the entry after it goes without it.
        const size_t from = static_cast<size_t>(fragment.text.data() - body.data());
        whole.without = std::string(body.substr(0, from)) +
                        std::string(body.substr(from + fragment.text.size()));
    }
    return jobs;
}

// The second stage: the parts of every kept line, in index order, with the
// lines counted by what they give.
std::vector<Job> FindParts(const std::vector<GcideRecord>& records, const IndexLines& lines,
                           const IrregularForms& irregular, GcideStats* st) {
    std::unordered_set<std::string> irregular_forms;
    for (const auto& [form, base] : irregular) irregular_forms.insert(form);
    std::vector<std::vector<Job>> found(lines.kept.size());
    ForEachParallel(lines.kept.size(), [&](size_t n) {
        const size_t line = lines.kept[n];
        found[n] = LineParts(records[line], lines.bodies[line], lines.own[line] != 0, lines,
                             irregular_forms);
    });
    std::vector<Job> jobs;
    for (size_t n = 0; n < lines.kept.size(); ++n) {
        if (found[n].empty()) {
            ++st->skipped;
        } else if (lines.own[lines.kept[n]]) {
            ++st->own;
        } else {
            ++(found[n].back().rank == kWordEntry ? st->forms : st->paragraphs);
        }
        for (Job& job : found[n]) jobs.push_back(std::move(job));
    }
    return jobs;
}

// The parts of each headword, by its folded spelling, as indexes into the jobs.
using Groups = std::unordered_map<std::string, std::vector<size_t>>;

// The third stage: a form that shows none of its base's entries gets them:
// the ones whose head line names it, else the verbs among them, else all. The
// forms are irregular ones ("is" of be) and entries that only say whose form
// they are ("Methought, imp. of Methinks").
void AddBaseEntries(const IrregularForms& irregular, const IndexLines& lines,
                    std::vector<Job>* jobs, Groups* groups, GcideStats* st) {
    std::vector<std::pair<std::string, std::string>> form_of = irregular;
    for (const Job& job : *jobs) {
        if (job.rank != kOwnEntry) continue;
        std::string base = FormOf(job.entry);
        if (!base.empty() && base != GcideLetters(job.group)) {
            form_of.emplace_back(job.group, std::move(base));
        }
    }
    for (const auto& [form, base] : form_of) {
        const auto members = groups->find(form);
        const auto base_entries = lines.own_bodies.find(GcideLetters(base));
        if (members == groups->end() || base_entries == lines.own_bodies.end()) continue;
        const std::vector<std::string_view>& of_base = base_entries->second;
        if (std::any_of(members->second.begin(), members->second.end(), [&](size_t n) {
                return (*jobs)[n].rank != kOwnLine &&
                       std::find(of_base.begin(), of_base.end(), (*jobs)[n].entry) != of_base.end();
            })) {
            continue;
        }
        std::vector<std::string_view> chosen;
        for (std::string_view entry : of_base) {
            Fragment fragment;
            if (FindFragment(form, entry, true, &fragment) &&
                fragment.kind == FragmentKind::kForm) {
                chosen.push_back(entry);
            }
        }
        if (chosen.empty()) {
            for (std::string_view entry : of_base) {
                if ((HeadPartsOfSpeech(entry) & lexicore::kVerb) != 0) chosen.push_back(entry);
            }
        }
        if (chosen.empty()) chosen = of_base;
        const std::string headword = (*jobs)[members->second.front()].headword;
        for (std::string_view entry : chosen) {
            members->second.push_back(jobs->size());
            jobs->push_back({headword, form, entry, entry, GcidePart::kEntry, kBaseEntry, ""});
            ++st->irregular;
        }
    }
}

// The fourth stage: each headword's parts in rank order, each source entry
// once (the source lists some entries twice, and a form may reach an entry
// from several lines). Returns which jobs were dropped.
std::vector<char> DropRepeats(const std::vector<Job>& jobs, Groups* groups, GcideStats* st) {
    std::vector<char> dropped(jobs.size());
    for (auto& [group, members] : *groups) {
        std::stable_sort(members.begin(), members.end(),
                         [&](size_t a, size_t b) { return jobs[a].rank < jobs[b].rank; });
        for (size_t m = 0; m < members.size(); ++m) {
            const Job& job = jobs[members[m]];
            const bool shown_whole = job.rank == kOwnLine &&
                                     std::any_of(members.begin(), members.end(), [&](size_t other) {
                                         return jobs[other].rank != kOwnLine &&
                                                jobs[other].entry == job.entry &&
                                                jobs[other].without.empty();
                                     });
            if (shown_whole) {
                dropped[members[m]] = 1;
                ++st->repeated;
            }
            for (size_t earlier = 0; earlier < m && !dropped[members[m]]; ++earlier) {
                if (!dropped[members[earlier]] &&
                    jobs[members[earlier]].Text() == jobs[members[m]].Text()) {
                    dropped[members[m]] = 1;
                    ++st->repeated;
                }
            }
        }
        std::erase_if(members, [&](size_t n) { return dropped[n] != 0; });
    }
    return dropped;
}

// Renders the parts `members` of one headword into their entries. A
// paragraph that an earlier part of the headword showed already is left out
// (variant spellings share senses: "phony" and "phoney").
void RenderHeadword(const std::vector<Job>& jobs, const std::vector<size_t>& members,
                    const GcideLayout& layout, std::vector<lexicore::SourceEntry>* entries) {
    std::unordered_set<std::string> shown;
    for (size_t n : members) {
        lexicore::SourceEntry& entry = (*entries)[n];
        entry.headword = jobs[n].headword;
        entry.parts_of_speech =
            RenderGcide(jobs[n].Text(), jobs[n].part, layout, &entry.html, &entry.text, &shown);
    }
}

// The bytes that the entries of one headword show together. The builder
// joins them with sense breaks, which are never printed.
size_t ShownBytes(const std::vector<lexicore::SourceEntry>& entries,
                  const std::vector<size_t>& members) {
    size_t bytes = 0;
    for (size_t n : members) {
        const std::string& html = entries[n].html;
        bytes += html.size() - std::count(html.begin(), html.end(), kSenseBreak);
    }
    return bytes;
}

// Renders a headword too long for the print buffer again, leaving out more
// at each step until it fits, and ends it with a note that says what was
// left out. False when it does not fit even with everything left out.
bool FitHeadword(const std::vector<Job>& jobs, const std::vector<size_t>& members,
                 std::vector<lexicore::SourceEntry>* entries) {
    GcideLayout layout;
    std::vector<std::string_view> left_out;
    std::string note;
    bool fits = false;
    for (const Omission& omission : kOmissions) {
        const size_t before = ShownBytes(*entries, members);
        layout.*omission.part = false;
        RenderHeadword(jobs, members, layout, entries);
        if (!omission.name.empty() && ShownBytes(*entries, members) < before) {
            left_out.push_back(omission.name);
        }
        note = left_out.empty() ? "" : LeftOutNote(left_out);
        fits = ShownBytes(*entries, members) + note.size() + 1 <= LXV_PRINT_BUFFER_SIZE;
        if (fits) break;
    }
    lexicore::SourceEntry& last = (*entries)[members.back()];
    last.html += note;
    last.text.clear();
    lexicore::HtmlToText(last.html, &last.text);
    return fits;
}

// The fifth stage: every headword rendered; those whose entries together
// would not fit the print buffer, fitted.
std::vector<lexicore::SourceEntry> RenderEntries(const std::vector<Job>& jobs, const Groups& groups,
                                                 GcideStats* st) {
    std::vector<lexicore::SourceEntry> entries(jobs.size());
    std::vector<const std::vector<size_t>*> all_groups;
    for (const auto& [group, members] : groups) all_groups.push_back(&members);
    ForEachParallel(all_groups.size(), [&](size_t g) {
        RenderHeadword(jobs, *all_groups[g], GcideLayout(), &entries);
    });
    std::vector<const std::vector<size_t>*> long_groups;
    for (const auto& [group, members] : groups) {
        if (ShownBytes(entries, members) + 1 > LXV_PRINT_BUFFER_SIZE)
            long_groups.push_back(&members);
    }
    st->long_before = long_groups.size();
    std::vector<uint8_t> still_long(long_groups.size());
    ForEachParallel(long_groups.size(), [&](size_t g) {
        still_long[g] = !FitHeadword(jobs, *long_groups[g], &entries);
    });
    st->long_after = std::count(still_long.begin(), still_long.end(), 1);
    return entries;
}

// The entries of the jobs not dropped, in rank order: the builder keeps the
// order of a headword's parts as given.
std::vector<lexicore::SourceEntry> InRankOrder(const std::vector<Job>& jobs,
                                               const std::vector<char>& dropped,
                                               std::vector<lexicore::SourceEntry> entries) {
    std::vector<size_t> order;
    for (size_t n = 0; n < jobs.size(); ++n) {
        if (!dropped[n]) order.push_back(n);
    }
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return jobs[a].rank < jobs[b].rank; });
    std::vector<lexicore::SourceEntry> out;
    out.reserve(order.size());
    for (size_t n : order) out.push_back(std::move(entries[n]));
    return out;
}

}  // namespace

std::vector<std::string> GcideQuotations(std::string_view raw) {
    std::vector<std::string> quotations;
    const std::vector<Paragraph> paragraphs = SplitParagraphs(EntryText(raw, nullptr));
    for (size_t pi = 1; pi < paragraphs.size(); ++pi) {
        if (!IsQuotation(paragraphs[pi])) continue;
        std::string& quotation = quotations.emplace_back();
        for (std::string_view line : paragraphs[pi].lines) {
            if (IsSourceNoteLine(line)) continue;
            if (!quotation.empty()) quotation.push_back(' ');
            quotation.append(line);
        }
    }
    return quotations;
}

bool LoadGcide(const std::string& index_path, GcideSource* out, std::string* error) {
    std::string index;
    if (!ReadSourceFile(index_path, &index, error)) return false;
    const std::string data_path = DictdDataPathFor(index_path);
    std::unique_ptr<DictdData> data = DictdData::Open(data_path, error);
    if (data == nullptr) return false;
    std::string message;
    if (!data->Read(0, data->size(), &out->text, &message)) {
        *error = data_path + ": " + message;
        return false;
    }
    const std::string_view text = out->text;
    out->records.clear();
    return ForEachLine(index, [&](std::string_view line, int number) {
        if (line.empty()) return true;
        DictdIndexLine entry;
        if (!ParseDictdIndexLine(line, &entry, &message)) {
            *error = LineError(index_path, number, message);
            return false;
        }
        if (entry.offset > text.size() || entry.length > text.size() - entry.offset) {
            *error = LineError(index_path, number, "entry lies outside " + data_path);
            return false;
        }
        out->records.push_back(
            {std::move(entry.headword), text.substr(entry.offset, entry.length)});
        return true;
    });
}

std::string GcideHeadword(std::string_view key, std::string_view raw) {
    std::string shown(key);
    // Accents: the index writes "Abb'e" where the entry has "Ab"b['e]`".
    if (key.find('\'') != std::string_view::npos) {
        const std::string k = GcideLetters(key);
        std::vector<std::string_view> candidates = HeadForms(raw);
        for (size_t i = raw.find('{'); i != std::string_view::npos; i = raw.find('{', i + 1)) {
            const size_t close = raw.find('}', i);
            if (close == std::string_view::npos) break;
            candidates.push_back(raw.substr(i + 1, close - i - 1));
        }
        for (std::string_view form : candidates) {
            if (form.find('[') == std::string_view::npos || GcideLetters(form) != k) continue;
            std::string spelled;
            bool representable = true;
            for (size_t i = 0; i < form.size(); ++i) {
                const char c = form[i];
                if (c == '"' || c == '*' || c == '`') continue;
                if (c == '[') {
                    const size_t close = form.find(']', i);
                    const GcideCode* code = close == std::string_view::npos
                                                ? nullptr
                                                : FindGcideCode(form.substr(i + 1, close - i - 1));
                    if (code == nullptr || code->chars[0] == 0 || code->chars[1] != 0 ||
                        lexivane_base::Windows1252Byte(code->chars[0]) < 0) {
                        representable = false;
                        break;
                    }
                    spelled.push_back(
                        static_cast<char>(lexivane_base::Windows1252Byte(code->chars[0])));
                    i = close;
                    continue;
                }
                spelled.push_back(c);
            }
            // Keep the index's capitalisation; take only the accents.
            std::string merged;
            size_t j = 0;
            for (size_t i = 0; representable && i < spelled.size(); ++i) {
                if (static_cast<unsigned char>(spelled[i]) >= 0x80) {
                    representable = j + 1 < key.size() && key[j] == '\'';
                    merged.push_back(spelled[i]);
                    j += 2;
                } else {
                    representable = j < key.size() && Lower(key[j]) == Lower(spelled[i]);
                    if (representable) merged.push_back(key[j]);
                    ++j;
                }
            }
            if (representable && j == key.size()) {
                shown = merged;
                break;
            }
        }
    }
    // Webster capitalises every headword; a word the entry itself writes in
    // lower case is shown in lower case.
    if (!shown.empty() && shown[0] >= 'A' && shown[0] <= 'Z' &&
        std::none_of(shown.begin() + 1, shown.end(), [](char c) { return c >= 'A' && c <= 'Z'; })) {
        std::string lower = shown;
        lower[0] = Lower(lower[0]);
        const size_t first_line = raw.find('\n');
        const std::string_view body =
            first_line == std::string_view::npos ? "" : raw.substr(first_line);
        for (size_t at = body.find(lower); at != std::string_view::npos;
             at = body.find(lower, at + 1)) {
            if (WordAt(body, at, lower.size())) {
                shown = lower;
                break;
            }
        }
    }
    return shown;
}

std::vector<lexicore::SourceEntry> ConvertGcide(const std::vector<GcideRecord>& records,
                                                GcideStats* stats,
                                                const IrregularForms& irregular) {
    GcideStats local;
    GcideStats& st = stats != nullptr ? *stats : local;
    st = GcideStats();
    st.records = records.size();
    const IndexLines lines = ReadIndexLines(records, &st);
    std::vector<Job> jobs = FindParts(records, lines, irregular, &st);
    Groups groups;
    for (size_t n = 0; n < jobs.size(); ++n) groups[jobs[n].group].push_back(n);
    AddBaseEntries(irregular, lines, &jobs, &groups, &st);
    const std::vector<char> dropped = DropRepeats(jobs, &groups, &st);
    return InRankOrder(jobs, dropped, RenderEntries(jobs, groups, &st));
}

std::string FindGcideNotation(std::string_view s, bool html) {
    for (size_t i = 0; i < s.size(); ++i) {
        const char c = s[i];
        // A brace next to a letter inside it is the source's cross-reference
        // ("{Abbot}"); a brace standing alone ("({ or })") is the character.
        const bool brace = (c == '{' && i + 1 < s.size() && IsAlpha(s[i + 1])) ||
                           (c == '}' && i > 0 && IsAlpha(s[i - 1]));
        if (brace || c == '\\') return std::string("'") + c + "' at " + std::to_string(i);
        if (static_cast<unsigned char>(c) < 0x20 && c != '\n' && c != kSenseBreak) {
            return "control character at " + std::to_string(i);
        }
        if (c == '[') {
            // In plain text a code that is a plain word ("[zeta]") may be the
            // ASCII form of a character the source itself set in brackets.
            const size_t close = s.find(']', i);
            const std::string_view content =
                s.substr(i + 1, close == std::string_view::npos ? 0 : close - i - 1);
            const bool word =
                std::all_of(content.begin(), content.end(), [](char d) { return IsAlpha(d); });
            const bool code = FindGcideCode(content) != nullptr && (html || !word);
            if (close != std::string_view::npos && (code || LooksLikeAccentCode(content))) {
                return "code " + std::string(s.substr(i, close + 1 - i)) + " at " +
                       std::to_string(i);
            }
        }
        if (html && c == '&') {
            const size_t semi = s.find(';', i);
            const std::string_view ref =
                s.substr(i, semi == std::string_view::npos ? 0 : semi + 1 - i);
            const bool named = ref == "&amp;" || ref == "&lt;" || ref == "&gt;" || ref == "&quot;";
            const bool numeric =
                ref.size() > 3 && ref[1] == '#' &&
                std::all_of(ref.begin() + 2, ref.end() - 1, [](char d) { return IsDigit(d); });
            if (!named && !numeric) return "unescaped '&' at " + std::to_string(i);
        }
        if (html && c == '<') {
            static const std::string_view kTags[] = {
                "<b>",   "</b>",   "<i>",     "</i>",     "<p>",          "</p>",         "<br>",
                "<sup>", "</sup>", "<small>", "</small>", "<blockquote>", "</blockquote>"};
            size_t length = 0;
            for (std::string_view t : kTags) {
                if (s.substr(i).starts_with(t)) length = t.size();
            }
            if (length == 0) return "unescaped '<' at " + std::to_string(i);
            i += length - 1;
            continue;
        }
        if (html && c == '>') return "unescaped '>' at " + std::to_string(i);
    }
    return std::string();
}

}  // namespace lexivane_dict
