// The bookmarked words, newest first: one list for the whole program, read
// from and written to "bookmark.dat", and shown by the bookmark pop-up list
// of each page below that list's own rows (a one-column list model).
#ifndef LEXIVANE_WORDS_BOOKMARK_LIST_H_
#define LEXIVANE_WORDS_BOOKMARK_LIST_H_

#include <QAbstractListModel>
#include <QString>
#include <QStringView>
#include <cstdint>
#include <memory>
#include <vector>

#include "words/bookmark_file.h"

class CBookmarkList : public QAbstractListModel {
  public:
    // The program's list: the one that the pages hold while any of them does,
    // else a new, empty one for the bookmark file beside the program.
    static std::shared_ptr<CBookmarkList> Shared();

    CBookmarkList();
    CBookmarkList(const CBookmarkList&) = delete;
    CBookmarkList& operator=(const CBookmarkList&) = delete;
    ~CBookmarkList() override;

    // Reads the file afresh: each line feed ends a word, and text after the
    // last one is a word too (a file edited by hand may lack the last line
    // feed; the next save writes it). True when the file was read or is
    // missing. False, with the list empty and the last error set, when the
    // file cannot be read or is too long (CBookmarkFile::ReadAll); every
    // change is then refused with that error until a read succeeds, so that
    // a file the list does not hold is never replaced.
    bool Load();

    int Count() const { return static_cast<int>(m_starts.size()) - 1; }
    // The row of the first word equal to `word` ignoring case; -1 when none.
    int Find(QStringView word) const;

    // Each change below saves the whole list with CBookmarkFile::WriteLines
    // and keeps the change only when the save succeeded: on failure (the last
    // error set) the list is unchanged and still matches the file. Every view
    // is reset after a change.

    // Puts `word` at the top, removing a row that holds it in any letter case.
    // An empty word or one holding a line feed is refused (ERROR_INVALID_PARAMETER).
    bool Mark(const QString& word);
    // Removes the row of `word` (ignoring case); false when there is none
    // (ERROR_FILE_NOT_FOUND) or the save failed.
    bool Unmark(QStringView word);
    // Removes every word; the file is left empty.
    bool Clear();

    // "Could not read bookmark.dat: <reason>" (`saving` false) or "Could not
    // save bookmark.dat: <reason>", the reason in words from the last error.
    QString FailureText(bool saving) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

  private:
    // True when the list holds what the file holds, reading the file first
    // when it never was; else false with the last error of the failed read.
    bool HoldsTheFile();
    QStringView WordView(int row) const;

    CBookmarkFile m_file;
    // The words as the file holds them, each ended by its line feed, and the
    // offset of each word in it followed by the text's length: two bytes a
    // code unit and four a word, some 1.25 times the file's size for words
    // of eight letters. A change builds its new text beside the old one while
    // it saves it.
    QString m_text;
    std::vector<uint32_t> m_starts{0};
    bool m_bRead = false;                                    // Load has run
    platform::DWORD m_nReadError = platform::ERROR_SUCCESS;  // why the last Load failed
};

#endif  // LEXIVANE_WORDS_BOOKMARK_LIST_H_
