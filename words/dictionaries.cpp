#include "words/dictionaries.h"

#include "platform/files.h"
#include "platform/paths.h"
#include "platform/settings.h"

namespace {

const QString kChoiceKey = QStringLiteral("dictionary");

const Dictionary*& OpenSlot() {
    static const Dictionary* open = nullptr;
    return open;
}

const Dictionary*& RequestSlot() {
    static const Dictionary* requested = nullptr;
    return requested;
}

}  // namespace

QString DictionaryPath(const Dictionary& dictionary) {
    QString path = QString::fromUtf8(dictionary.file);
    platform::MakeModulePath(path);
    return path;
}

std::vector<const Dictionary*> PresentDictionaries() {
    std::vector<const Dictionary*> present;
    for (const Dictionary& dictionary : res::Dictionaries()) {
        platform::CFileFind finder;
        if (finder.FindFile(DictionaryPath(dictionary))) {
            finder.Close();
            present.push_back(&dictionary);
        }
    }
    return present;
}

const Dictionary* DictionaryToOpen() {
    const std::vector<const Dictionary*> present = PresentDictionaries();
    if (present.empty()) return nullptr;
    // The settings file is the user's to edit: only the name of a dictionary
    // that is present counts, never a path.
    const QString chosen = platform::ReadSetting(kChoiceKey).toString();
    for (const Dictionary* dictionary : present) {
        if (chosen == QString::fromUtf8(dictionary->file)) return dictionary;
    }
    return present.back();
}

bool KeepDictionaryChoice(const Dictionary& dictionary) {
    return platform::WriteSetting(kChoiceKey, QString::fromUtf8(dictionary.file));
}

const Dictionary* OpenDictionary() {
    return OpenSlot();
}

void SetOpenDictionary(const Dictionary* dictionary) {
    OpenSlot() = dictionary;
}

void RequestDictionary(const Dictionary* dictionary) {
    RequestSlot() = dictionary;
}

const Dictionary* TakeRequestedDictionary() {
    const Dictionary* requested = RequestSlot();
    RequestSlot() = nullptr;
    return requested;
}
