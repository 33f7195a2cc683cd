#include "engine/vocabulary.h"

#include <limits>

#include "engine/engine_error.h"

namespace orvello {
namespace {

constexpr std::string_view kWordBoundary = "\xE2\x96\x81";  // U+2581
constexpr std::string_view kBlank = "<blk>";
// The table is indexed by id, so one absurd id in a damaged file would allocate gigabytes. Real
// vocabularies have thousands of pieces (Parakeet's has 8193); this bound (32 MiB of empty
// slots at worst) lies far beyond any of them.
constexpr int32_t kLargestVocabularyId = 1'048'575;

// The ASCII whitespace of the classic locale; bytes >= 0x80 never are.
bool IsAsciiSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsClosingPunctuation(char c) {
    return c == ',' || c == '.' || c == ';' || c == ':' || c == '!' || c == '?';
}

void StorePiece(Vocabulary& vocabulary, std::string_view line) {
    const size_t space = line.rfind(' ');
    if (space == std::string_view::npos)
        throw EngineError("Invalid Parakeet vocab line: " + std::string(line));
    const int32_t id = ParseVocabularyId(line.substr(space + 1));
    if (id < 0) throw EngineError("Negative vocab id encountered.");
    if (id > kLargestVocabularyId)
        throw EngineError("Vocab id " + std::to_string(id) + " is too large (at most " +
                          std::to_string(kLargestVocabularyId) + ").");
    if (size_t(id) >= vocabulary.pieces.size()) vocabulary.pieces.resize(size_t(id) + 1);
    const std::string_view piece = line.substr(0, space);
    vocabulary.pieces[size_t(id)] = piece;
    if (piece == kBlank) vocabulary.blankId = id;
}

// Step 2 and 3 of assembly in one pass: boundary markers become spaces and
// every whitespace run becomes one space.
std::string FoldSpaces(std::string_view joined) {
    std::string folded;
    folded.reserve(joined.size());
    for (size_t i = 0; i < joined.size();) {
        const bool marker = joined.substr(i, kWordBoundary.size()) == kWordBoundary;
        if (marker || IsAsciiSpace(joined[i])) {
            if (folded.empty() || folded.back() != ' ') folded += ' ';
            i += marker ? kWordBoundary.size() : 1;
        } else {
            folded += joined[i++];
        }
    }
    return folded;
}

}  // namespace

int32_t ParseVocabularyId(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && IsAsciiSpace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    const size_t firstDigit = i;
    int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > int64_t(std::numeric_limits<int32_t>::max()) + 1)
            throw EngineError("stoi argument out of range");
    }
    if (i == firstDigit) throw EngineError("invalid stoi argument");
    if (negative) value = -value;
    if (value > std::numeric_limits<int32_t>::max())
        throw EngineError("stoi argument out of range");
    return int32_t(value);
}

Vocabulary ParseVocabulary(std::string_view fileBytes) {
    Vocabulary vocabulary;
    size_t start = 0;
    while (start < fileBytes.size()) {
        size_t end = fileBytes.find('\n', start);
        if (end == std::string_view::npos) end = fileBytes.size();
        const std::string_view line = fileBytes.substr(start, end - start);
        if (!line.empty()) StorePiece(vocabulary, line);
        start = end + 1;
    }
    if (vocabulary.pieces.empty()) throw EngineError("Parakeet vocab.txt is empty.");
    // Later lines replace earlier ones, the blank's too.
    if (vocabulary.blankId < 0 || vocabulary.pieces[size_t(vocabulary.blankId)] != kBlank)
        throw EngineError("Parakeet vocab.txt is missing <blk>.");
    return vocabulary;
}

std::string AssembleText(const std::vector<std::string>& pieces, const std::vector<int32_t>& ids) {
    std::string joined;
    for (int32_t id : ids)
        if (id >= 0 && size_t(id) < pieces.size()) joined += pieces[size_t(id)];
    return NormalizeSpacing(joined);
}

std::string NormalizeSpacing(std::string_view text) {
    const std::string folded = FoldSpaces(text);
    std::string spaced;
    spaced.reserve(folded.size());
    for (size_t i = 0; i < folded.size(); ++i) {
        const bool spaceBeforePunctuation =
            folded[i] == ' ' && i + 1 < folded.size() && IsClosingPunctuation(folded[i + 1]);
        if (!spaceBeforePunctuation) spaced += folded[i];
    }
    const size_t first = spaced.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return spaced.substr(first, spaced.find_last_not_of(' ') - first + 1);
}

}  // namespace orvello
