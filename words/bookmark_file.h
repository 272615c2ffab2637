// "bookmark.dat" in the program's directory: the bookmarked words as UTF-16
// little-endian code units, each word ended by a line feed (0A 00), newest
// first, with no byte-order mark, header or count. A missing or empty file
// means no bookmarks.
#ifndef LEXIVANE_WORDS_BOOKMARK_FILE_H_
#define LEXIVANE_WORDS_BOOKMARK_FILE_H_

#include <QString>
#include <QStringView>
#include <cstdint>

#include "platform/files.h"

class CBookmarkFile {
  public:
    // The longest file read or written: 16 MiB, about a million words of the
    // length headwords have. A longer file is refused and left as it is, so
    // that a damaged or foreign file can neither take the program's memory
    // nor be cut down to what fits.
    static constexpr uint32_t kMaxLength = 16u << 20;

    // Names "bookmark.dat" beside the program; touches no file.
    CBookmarkFile();
    CBookmarkFile(const CBookmarkFile&) = delete;
    CBookmarkFile& operator=(const CBookmarkFile&) = delete;
    virtual ~CBookmarkFile();

    // Empties the file, replacing it the way WriteLines does (never cutting
    // it in place); creates it when missing. True when it now exists and is
    // empty.
    bool Truncate();

    // Replaces the file's contents with the code units of `lines`, each word
    // already ended by its line feed, by ReplaceFileContents: the file holds
    // the old list or the new one whole whenever the program or the machine
    // stops, a link stays a link to the file that takes the words, and a file
    // that cannot be read and written is refused and kept. False, with the
    // last error set and the file unchanged, when that fails or when the words
    // would take more than kMaxLength bytes (ERROR_FILE_TOO_LARGE).
    bool WriteLines(QStringView lines);

    // Reads the whole file into `units`, one code unit each two bytes (a last
    // odd byte is ignored). A missing file reads as empty. False, with `units`
    // empty and the last error set, when the file exists but cannot be read,
    // is no regular file, or is longer than kMaxLength (ERROR_FILE_TOO_LARGE).
    bool ReadAll(QString& units);

    const QString& Path() const { return m_strPath; }

  private:
    QString m_strPath;
    platform::CFile m_file;
};

#endif  // LEXIVANE_WORDS_BOOKMARK_FILE_H_
