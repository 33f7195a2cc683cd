#include "controls/markdown_parser.h"

#include <algorithm>
#include <optional>

namespace orvello {
namespace {

constexpr std::u16string_view kFence = u"```";
constexpr std::u16string_view kInlineMarkers = u"*_`";
constexpr std::u16string_view kBulletPrefix = u"\u2022 ";
constexpr int kDeepestHeadingLevel = 3;

using Position = std::size_t;
constexpr Position kNotFound = std::u16string_view::npos;

enum class InlineStyle { Plain, Bold, Italic, Code };

TextSegment MakeSegment(std::u16string_view text, InlineStyle style) {
    TextSegment segment;
    segment.text = std::u16string(text);
    segment.bold = style == InlineStyle::Bold;
    segment.italic = style == InlineStyle::Italic;
    segment.code = style == InlineStyle::Code;
    return segment;
}

// A construct whose markers enclose nothing still consumes them, but shows no run.
void AppendUnlessEmpty(std::vector<TextSegment>& out, std::u16string_view text, InlineStyle style) {
    if (!text.empty()) out.push_back(MakeSegment(text, style));
}

bool IsEmphasisMarker(char16_t c) {
    return c == u'*' || c == u'_';
}

// "**bold**" or "__bold__": the doubled marker is looked for again after the opening pair.
std::optional<Position> TryStrong(std::u16string_view s, Position p,
                                  std::vector<TextSegment>& out) {
    if (p + 1 >= s.size() || s[p] != s[p + 1] || !IsEmphasisMarker(s[p])) return std::nullopt;
    const Position close = s.find(s.substr(p, 2), p + 2);
    if (close == kNotFound) return std::nullopt;
    AppendUnlessEmpty(out, s.substr(p + 2, close - p - 2), InlineStyle::Bold);
    return close + 2;
}

// "*italic*" or "_italic_". After a failed strong pair the second marker character closes an
// empty run here, which is how an unmatched "**" disappears.
std::optional<Position> TryEmphasis(std::u16string_view s, Position p,
                                    std::vector<TextSegment>& out) {
    if (!IsEmphasisMarker(s[p])) return std::nullopt;
    const Position close = s.find(s[p], p + 1);
    if (close == kNotFound) return std::nullopt;
    AppendUnlessEmpty(out, s.substr(p + 1, close - p - 1), InlineStyle::Italic);
    return close + 1;
}

std::optional<Position> TryCode(std::u16string_view s, Position p, std::vector<TextSegment>& out) {
    if (s[p] != u'`') return std::nullopt;
    const Position close = s.find(u'`', p + 1);
    if (close == kNotFound) return std::nullopt;
    AppendUnlessEmpty(out, s.substr(p + 1, close - p - 1), InlineStyle::Code);
    return close + 1;
}

// Plain text up to the next marker; a marker at p that formed no construct is shown as text.
Position AppendPlainRun(std::u16string_view s, Position p, std::vector<TextSegment>& out) {
    Position end = s.find_first_of(kInlineMarkers, p);
    if (end == p) end = s.find_first_of(kInlineMarkers, p + 1);
    if (end == kNotFound) end = s.size();
    out.push_back(MakeSegment(s.substr(p, end - p), InlineStyle::Plain));
    return end;
}

Position ParseNextConstruct(std::u16string_view s, Position p, std::vector<TextSegment>& out) {
    if (auto next = TryStrong(s, p, out)) return *next;
    if (auto next = TryEmphasis(s, p, out)) return *next;
    if (auto next = TryCode(s, p, out)) return *next;
    return AppendPlainRun(s, p, out);
}

// "## Title": leading number signs, then exactly one space that is not the end of the line.
std::optional<ParsedSourceLine> ParseHeading(std::u16string_view line) {
    const Position signs = std::min(line.find_first_not_of(u'#'), line.size());
    if (signs == 0 || signs >= line.size() || line[signs] != u' ') return std::nullopt;
    TextSegment heading;
    heading.text = std::u16string(line.substr(signs + 1));
    heading.headingLevel = std::min(static_cast<int>(signs), kDeepestHeadingLevel);
    return ParsedSourceLine{.segments = {std::move(heading)}};
}

bool IsListItem(std::u16string_view line) {
    return line.size() >= 2 && (line[0] == u'-' || line[0] == u'*') && line[1] == u' ';
}

ParsedSourceLine ParseListItem(std::u16string_view line) {
    ParsedSourceLine parsed{.segments = {MakeSegment(kBulletPrefix, InlineStyle::Plain)},
                            .indentLevel = 1};
    std::vector<TextSegment> rest = ParseInlineMarkup(line.substr(2));
    parsed.segments.insert(parsed.segments.end(), std::make_move_iterator(rest.begin()),
                           std::make_move_iterator(rest.end()));
    return parsed;
}

}  // namespace

std::vector<std::u16string_view> SplitSourceLines(std::u16string_view text) {
    std::vector<std::u16string_view> lines;
    Position start = 0;
    while (start < text.size()) {
        const Position feed = text.find(u'\n', start);
        if (feed == kNotFound) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, feed - start));
        start = feed + 1;
    }
    return lines;
}

bool IsWideSpace(char16_t c) {
    if ((c >= u'\t' && c <= u'\r') || c == u' ' || c == u'\u0085' || c == u'\u00A0') return true;
    if (c >= u'\u2000' && c <= u'\u200A') return true;
    return c == u'\u1680' || c == u'\u2028' || c == u'\u2029' || c == u'\u202F' || c == u'\u205F' ||
           c == u'\u3000';
}

std::u16string_view TrimTrailingWideSpace(std::u16string_view line) {
    while (!line.empty() && IsWideSpace(line.back())) line.remove_suffix(1);
    return line;
}

std::u16string_view TrimWideSpace(std::u16string_view line) {
    line = TrimTrailingWideSpace(line);
    while (!line.empty() && IsWideSpace(line.front())) line.remove_prefix(1);
    return line;
}

std::vector<TextSegment> ParseInlineMarkup(std::u16string_view line) {
    std::vector<TextSegment> segments;
    Position p = 0;
    while (p < line.size()) p = ParseNextConstruct(line, p, segments);
    return segments;
}

ParsedSourceLine MarkdownLineParser::Parse(std::u16string_view line) {
    if (TrimWideSpace(line) == kFence) {
        inCodeBlock_ = !inCodeBlock_;
        ParsedSourceLine fence;
        fence.isFence = true;
        return fence;
    }
    // Code keeps its indentation and even a trailing carriage return; an empty code line is
    // one empty run, which wraps into no visual line at all.
    if (inCodeBlock_) return ParsedSourceLine{.segments = {MakeSegment(line, InlineStyle::Code)}};

    const std::u16string_view trimmed = TrimTrailingWideSpace(line);
    if (auto heading = ParseHeading(trimmed)) return *std::move(heading);
    if (IsListItem(trimmed)) return ParseListItem(trimmed);
    return ParsedSourceLine{.segments = ParseInlineMarkup(trimmed)};
}

}  // namespace orvello
