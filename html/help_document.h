// The help page's document: one fixed HTML document in 8-bit text, with the
// anchors "top", "search" and "definition" and links to them.
#ifndef LEXIVANE_HTML_HELP_DOCUMENT_H_
#define LEXIVANE_HTML_HELP_DOCUMENT_H_

extern const char* const kHelpDocument;

#endif  // LEXIVANE_HTML_HELP_DOCUMENT_H_
