// "bookmark.dat" in the program's directory: the bookmarked words as UTF-16
// little-endian code units, each word ended by a line feed (0A 00), newest
// first, with no byte-order mark, header or count. A missing or empty file
// means no bookmarks.
#ifndef LEXIVANE_WORDS_BOOKMARK_FILE_H_
#define LEXIVANE_WORDS_BOOKMARK_FILE_H_

#include <QString>
#include <cstdint>

#include "platform/files.h"

class CBookmarkFile {
  public:
    // Names "bookmark.dat" beside the program; touches no file.
    CBookmarkFile();
    CBookmarkFile(const CBookmarkFile&) = delete;
    CBookmarkFile& operator=(const CBookmarkFile&) = delete;
    virtual ~CBookmarkFile();

    // Creates the file or cuts it to 0 bytes; true when it now exists and is empty.
    bool Truncate();

    // Replaces the file's contents with the code units of `strings[0..count)`
    // in order, each string already ending in its line feed. The words go to
    // "bookmark.dat.new" beside the file, which is flushed to disk and then
    // renamed over it, so the file holds the old list or the new one whole,
    // whenever the program or the machine stops. False when the new file cannot
    // be created, written or renamed; the old file is then unchanged.
    bool WriteLines(const QString* strings, int count);

    // Reads the whole file into `buffer`, at most `bufferSize` bytes, and sets
    // the length to the bytes read. Reads nothing when the file cannot be opened.
    void ReadAll(void* buffer, uint32_t bufferSize);

    // The file's length in bytes (also kept as Length()); 0 when it cannot be opened.
    uint32_t QueryLength();

    const QString& Path() const { return m_strPath; }
    // Length found by the last QueryLength or ReadAll.
    uint32_t Length() const { return m_nLength; }

  private:
    QString m_strPath;
    CFile m_file;
    uint32_t m_nLength = 0;
};

#endif  // LEXIVANE_WORDS_BOOKMARK_FILE_H_
