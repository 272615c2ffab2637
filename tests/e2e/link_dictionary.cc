// Writes the end-to-end suite's dictionary of links between entries:
//
//   link_dictionary FILE
//
// a, cat, dog, mouse, zebra and zoo, whose entries link to each other as the
// compiler writes links: <a href="entry:HEADWORD">shown text</a>.
#include <cstdio>
#include <string>

#include "lexicore/builder.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FILE\n", argv[0]);
        return 2;
    }
    const auto entry = [](const std::string& word, const std::string& body) {
        return lexicore::SourceEntry{word, "<p><b>" + word + "</b></p><p>" + body + "</p>",
                                     word + "\n" + body, lexicore::kNoun};
    };
    lexicore::DictionarySource source;
    source.entries = {
        entry("a", "the first letter"),
        entry("cat",
              "a small feline that chases a <a href=\"entry:mouse\">mouse</a> "
              "and runs from a <a href=\"entry:dog\">dog</a>"),
        entry("dog", "a canine that chases a <a href=\"entry:cat\">cat</a>"),
        entry("mouse", "a small rodent"),
        entry("zebra", "a striped horse"),
        entry("zoo", "a park of animals"),
    };
    std::string error;
    if (!lexicore::WriteDictionary(source, argv[1], nullptr, &error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    return 0;
}
