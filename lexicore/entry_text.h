// The plain text of an entry, derived from its HTML. The compiler lays every
// entry out so that its text is exactly this derivation; a file then stores
// the HTML alone and the engine derives the text when it prints.
#ifndef LEXIVANE_LEXICORE_ENTRY_TEXT_H_
#define LEXIVANE_LEXICORE_ENTRY_TEXT_H_

#include <string>
#include <string_view>

namespace lexicore {

// Appends to *out the text of `html`: tags removed, each </p> and
// </blockquote> ending a line, each <br> starting a line indented by three
// spaces, each <blockquote> indenting by three spaces, <sup> and </sup> as
// parentheses ("abortion<sup>2</sup>" reads "abortion(2)"), character
// references decoded (&amp; &lt; &gt; &quot; &apos; &nbsp; and numeric ones; a
// character outside Windows-1252 becomes a close ASCII form: "&#259;" gives
// "a", "&#945;" "alpha", a combining mark nothing, one without such a form
// '?'). Sense breaks are kept. A '<' or '&' that starts no tag or reference is
// copied as it is.
void HtmlToText(std::string_view html, std::string* out);

}  // namespace lexicore

#endif  // LEXIVANE_LEXICORE_ENTRY_TEXT_H_
