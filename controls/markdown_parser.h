#pragma once
// The small Markdown subset of the help view: headings, bold, italic, inline code, fenced code
// blocks and bulleted list items. Anything else (links, numbered lists, quotes, tables, rules,
// backslash escapes) is ordinary text.

#include <string>
#include <string_view>
#include <vector>

namespace orvello {

// One run of uniformly styled text. Styles never combine: a run is bold, italic, code or a
// heading, or plain.
struct TextSegment {
    std::u16string text;
    bool bold = false;
    bool italic = false;
    bool code = false;
    int headingLevel = 0;  // 0 body text, 1 to 3 headings

    friend bool operator==(const TextSegment&, const TextSegment&) = default;
};

// What one source line turned into before wrapping.
struct ParsedSourceLine {
    std::vector<TextSegment> segments;
    int indentLevel = 0;   // 1 for list items
    bool isFence = false;  // a "```" line: it toggles code blocks and shows nothing
};

// The source lines of a text: split at each line feed, which is dropped; a carriage return in
// front of it stays in the line. A line feed at the very end starts no further line.
[[nodiscard]] std::vector<std::u16string_view> SplitSourceLines(std::u16string_view text);

// White space as the C library's wide-character classification sees it: the Unicode white
// space characters (tab to carriage return, space, next line, no-break space, the typographic
// spaces, line and paragraph separators, ideographic space).
[[nodiscard]] bool IsWideSpace(char16_t c);

[[nodiscard]] std::u16string_view TrimTrailingWideSpace(std::u16string_view line);
[[nodiscard]] std::u16string_view TrimWideSpace(std::u16string_view line);

// Bold, italic and inline code inside one line; a marker that forms no construct is either
// swallowed (an unmatched "**" or "__") or shown (a lone "*", "_" or backtick).
[[nodiscard]] std::vector<TextSegment> ParseInlineMarkup(std::u16string_view line);

// Parses source lines in order; a fenced code block carries over from line to line.
class MarkdownLineParser {
public:
    [[nodiscard]] ParsedSourceLine Parse(std::u16string_view line);

    [[nodiscard]] bool InCodeBlock() const { return inCodeBlock_; }

private:
    bool inCodeBlock_ = false;
};

}  // namespace orvello
