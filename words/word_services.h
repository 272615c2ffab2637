// The word services each page owns: entries rendered by the engine, the
// headword nearest to a text, the clipboard, and the word the Lookup command
// looks up. Engine text is Windows-1252; UI text is UTF-16.
#ifndef LEXIVANE_WORDS_WORD_SERVICES_H_
#define LEXIVANE_WORDS_WORD_SERVICES_H_

#include <QString>
#include <cstdint>
#include <memory>

#include "engine/lexicore.h"
#include "words/bookmark_file.h"

class CWordServices {
  public:
    // Size of the render buffer handed to the engine's print functions.
    static constexpr uint16_t kBufferSize = 12000;

    // Allocates the render buffer and names the bookmark file; the page's
    // preparer stores the engine handle in m_hEngine before any engine service runs.
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

    // Replaces the clipboard with `text` in its 8-bit and Unicode forms. False
    // for an empty text (clipboard untouched) or when a clipboard step failed.
    bool CopyToClipboard(const QString& text);
    // The clipboard's Unicode text; empty when it holds none.
    QString GetClipboardText();
    void ClearClipboard();

    // The first word of a-z letters in `text` (lower-cased, trimmed), taking
    // the pieces between `separator`s in turn; empty when none has such a letter.
    QString ExtractLookupWord(const QString& text, const QString& separator);

    // Text of the last rendered entry.
    const QString& LastRenderedText() const { return m_strText; }
    // Result of the last operation that reports one.
    bool LastOk() const { return m_bLastOk; }
    CBookmarkFile& BookmarkFile() { return m_bookmarkFile; }

    LXV_HANDLE m_hEngine = 0;  // the application's engine handle; not owned

  private:
    bool m_bLastOk = false;
    std::unique_ptr<char[]> m_pBuffer;
    QString m_strText;
    CBookmarkFile m_bookmarkFile;
};

#endif  // LEXIVANE_WORDS_WORD_SERVICES_H_
