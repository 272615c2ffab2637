// The word services each page owns: entries rendered by the engine, the
// headword nearest to a text, the clipboard, and the word the Lookup command
// looks up. Engine text is Windows-1252; UI text is UTF-16.
#ifndef LEXIVANE_WORDS_WORD_SERVICES_H_
#define LEXIVANE_WORDS_WORD_SERVICES_H_

#include <QString>
#include <cstdint>
#include <memory>

#include "engine/lexicore.h"
#include "words/bookmark_list.h"

class CListBox;

// Fixed rows of the pop-up lists.
inline constexpr const char16_t* kHistoryTitle = u"History";
inline constexpr const char16_t* kBookmarksTitle = u"Bookmarks";
inline constexpr const char16_t* kClearAllRow = u"---Clear All---";
inline constexpr const char16_t* kMarkRow = u"---Mark this---";
inline constexpr const char16_t* kUnmarkRow = u"---Unmark this---";

// Messages of the pop-up lists, the same on both pages.
inline const QString kNoEntries = QStringLiteral("No entries");
inline const QString kAreYouSure = QStringLiteral("Are you sure?");
inline const QString kErrorMessageCaption = QStringLiteral("Error Message");
inline const QString kBookmarksError =
    QStringLiteral("Error in processing bookmarks. Please restart application");
inline const QString kHistoryError =
    QStringLiteral("Error in processing history. Please restart application");

// Selects the title row of a pop-up list, raises the list over the page,
// shows it and gives it the focus.
void ShowPopupList(CListBox& list);

class CWordServices {
  public:
    // Size of the render buffer handed to the engine's print functions.
    static constexpr uint16_t kBufferSize = 12000;

    // Allocates the render buffer and takes the program's bookmark list; the
    // page's preparer stores the engine handle in m_hEngine before any engine
    // service runs.
    CWordServices();
    CWordServices(const CWordServices&) = delete;
    CWordServices& operator=(const CWordServices&) = delete;
    virtual ~CWordServices();

    // The entry of `headword` as HTML (`html` true) or plain text; empty when
    // the engine has no entry or cannot print it. An empty headword returns
    // empty at once and keeps the last rendered text.
    QString RenderEntry(const QString& headword, bool html);
    // The headword nearest to `text`; empty for an empty text or when nothing is near.
    QString NearestWord(const QString& text);
    // The index of the headword nearest to `text`. 0 both when nothing is found
    // and for the first headword: callers accept 0 only for the word "a".
    uint32_t NearestIndex(const QString& text);
    // Sets `index` to the index of the headword nearest to `headword`. False
    // when the look-up failed: index 0 counts only for "a" or for a word that
    // really is the first headword (a dictionary need not begin with "a").
    bool HeadwordIndex(const QString& headword, uint32_t& index);

    // Replaces the clipboard with `text` in its 8-bit and Unicode forms. False
    // for an empty text (clipboard untouched) or when a clipboard step failed.
    bool CopyToClipboard(const QString& text);
    // The clipboard's Unicode text; empty when it holds none.
    QString GetClipboardText();
    void ClearClipboard();

    // The first word of a-z letters in `text` (lower-cased, trimmed), taking
    // the pieces between `separator`s in turn; empty when none has such a letter.
    QString ExtractLookupWord(const QString& text, const QString& separator);

    // Pop-up lists. A word's row is the first row after the title row whose
    // whole text equals the word ignoring case.

    // Puts `word` at the top of the history list, below "History" and
    // "---Clear All---", keeping at most 20 words and moving an existing row
    // of the word. An empty list gets its fixed rows first; an empty word
    // changes nothing. Always true.
    bool AddWordToList(const QString& word, CListBox& list);
    // Refills the history list from the engine, newest first; no rows when the
    // history is empty or the engine fails to give one of its words. Always true.
    bool FillHistoryList(CListBox& list);

    // The bookmark list of a page shows its own rows ("Bookmarks", the mark
    // row of the definition page, "---Clear All---") above the bookmarked
    // words, which are the program's one CBookmarkList, shared by the pages.

    // Reads the bookmark file afresh and lays the list out as "Bookmarks",
    // "---Clear All---" and the words. True when there are no words: the list
    // is then left with no rows. LastOk() is false when the file could not be
    // read (the last error says why; BookmarkFailureText words it).
    bool FillBookmarkList(CListBox& list);
    // Marks `word`: it goes to the top of the words and the file is saved.
    // True when saved; else the words stay as they were, matching the file.
    bool BookmarkWord(const QString& word, CListBox& list);
    // Unmarks `word` and saves; the last word's going also drops the list's
    // "---Clear All---" row (row 2). True when the word was found, removed
    // and saved; else the words stay as they were.
    bool UnbookmarkWord(const QString& word, CListBox& list);
    // Removes every bookmark, leaving the file empty. True when saved; else
    // the words stay as they were. The pages lay out their own rows after it.
    bool ClearBookmarks();
    // Labels row 1 "---Unmark this---" when `word` is bookmarked, else "---Mark this---".
    void SetMarkRow(const QString& word, CListBox& list);
    // "Could not read bookmark.dat: <reason>" (`saving` false) or "Could not
    // save bookmark.dat: <reason>", the reason in words from the last error.
    QString BookmarkFailureText(bool saving) const;

    // Text of the last rendered entry.
    const QString& LastRenderedText() const { return m_strText; }
    // Result of the last operation that reports one.
    bool LastOk() const { return m_bLastOk; }

    LXV_HANDLE m_hEngine = 0;  // the application's engine handle; not owned

  private:
    bool m_bLastOk = false;
    std::unique_ptr<char[]> m_pBuffer;
    QString m_strText;
    std::shared_ptr<CBookmarkList> m_pBookmarks;
};

#endif  // LEXIVANE_WORDS_WORD_SERVICES_H_
