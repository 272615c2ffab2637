// The dictionaries in the program's folder: which of them are present, the
// one the program opens (the user's choice, kept in the settings under
// "dictionary", else the largest present), the one it has open, and the one
// the user asked for in the Tools menu.
#ifndef LEXIVANE_WORDS_DICTIONARIES_H_
#define LEXIVANE_WORDS_DICTIONARIES_H_

#include <QString>
#include <vector>

#include "res/templates.h"

using Dictionary = res::DictionaryResource;

// The known dictionaries present in the program's folder, smallest first.
std::vector<const Dictionary*> PresentDictionaries();
// The dictionary to open: the user's choice when it is present, else the
// largest present; null when none is.
const Dictionary* DictionaryToOpen();
// The full path of `dictionary` in the program's folder.
QString DictionaryPath(const Dictionary& dictionary);
// Keeps `dictionary` as the user's choice for the next runs. False when the
// settings could not be saved; the choice then holds for this run only.
bool KeepDictionaryChoice(const Dictionary& dictionary);

// The dictionary the program has open; null while it has none. The
// application object sets it as it opens and closes the engine.
const Dictionary* OpenDictionary();
void SetOpenDictionary(const Dictionary* dictionary);

// The dictionary the user chose to open instead of the open one, until the
// application object takes it (null when none was chosen since).
void RequestDictionary(const Dictionary* dictionary);
const Dictionary* TakeRequestedDictionary();

#endif  // LEXIVANE_WORDS_DICTIONARIES_H_
