#include "commands/phrase_matching.h"

namespace orvello {

namespace {

bool IsCommandWhitespace(char16_t unit) {
    return unit == u' ' || unit == u'\t' || unit == u'\r' || unit == u'\n';
}

bool IsTrailingPunctuation(char16_t unit) {
    return std::u16string_view(u".,!?;:").find(unit) != std::u16string_view::npos;
}

char16_t FoldAsciiUnit(char16_t unit) {
    return (unit >= u'A' && unit <= u'Z') ? static_cast<char16_t>(unit - u'A' + u'a') : unit;
}

// Compares the alternative folded on the fly, so matching allocates nothing. An empty
// alternative ("copy|") never matches: a result that was only punctuation is empty after
// normalising and must not run a command.
bool AlternativeMatches(std::u16string_view alternative, std::u16string_view normalisedSpoken) {
    const std::u16string_view trimmed = TrimCommandWhitespace(alternative);
    if (trimmed.empty() || trimmed.size() != normalisedSpoken.size()) return false;
    for (std::size_t index = 0; index < trimmed.size(); ++index) {
        if (FoldAsciiUnit(trimmed[index]) != normalisedSpoken[index]) return false;
    }
    return true;
}

}  // namespace

std::u16string_view TrimCommandWhitespace(std::u16string_view text) {
    while (!text.empty() && IsCommandWhitespace(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsCommandWhitespace(text.back())) text.remove_suffix(1);
    return text;
}

std::u16string_view StripTrailingPunctuation(std::u16string_view text) {
    while (!text.empty() && IsTrailingPunctuation(text.back())) text.remove_suffix(1);
    return text;
}

std::u16string FoldAsciiCase(std::u16string_view text) {
    std::u16string folded(text);
    for (char16_t& unit : folded) unit = FoldAsciiUnit(unit);
    return folded;
}

std::u16string NormaliseSpokenText(std::u16string_view spoken) {
    std::u16string folded = FoldAsciiCase(TrimCommandWhitespace(spoken));
    folded.resize(StripTrailingPunctuation(folded).size());
    return folded;
}

bool PhraseMatches(std::u16string_view phrase, std::u16string_view normalisedSpoken) {
    std::size_t start = 0;
    while (true) {
        const std::size_t bar = phrase.find(u'|', start);
        const std::size_t length = bar == std::u16string_view::npos ? bar : bar - start;
        if (AlternativeMatches(phrase.substr(start, length), normalisedSpoken)) return true;
        if (bar == std::u16string_view::npos) return false;
        start = bar + 1;
    }
}

const VoiceCommand* FindCommand(const std::vector<VoiceCommand>& commands,
                                std::u16string_view spoken) {
    const std::u16string normalised = NormaliseSpokenText(spoken);
    for (const VoiceCommand& command : commands) {
        if (command.enabled && PhraseMatches(command.phrase, normalised)) return &command;
    }
    return nullptr;
}

}  // namespace orvello
