#pragma once
// The model's vocabulary (vocab.txt) and the assembly of decoded token ids
// into text. All text is UTF-8 bytes.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace orvello {

struct Vocabulary {
    std::vector<std::string> pieces;  // indexed by token id; ids never named are empty
    int32_t blankId = -1;             // id of the "<blk>" piece
};

// Parses vocab.txt: one "<piece> <id>" per line, split at the line's last
// space. Throws EngineError with the vocabulary's messages on bad content.
Vocabulary ParseVocabulary(std::string_view fileBytes);

// Converts an id the way std::stoi does (leading whitespace, optional sign,
// digits up to the first other character). Throws EngineError "invalid stoi
// argument" or "stoi argument out of range".
int32_t ParseVocabularyId(std::string_view text);

// Joins the pieces of `ids` (ids outside the vocabulary are skipped), turns
// the word-boundary marker into spaces, folds whitespace runs, removes the
// space in front of , . ; : ! ? and trims both ends.
std::string AssembleText(const std::vector<std::string>& pieces, const std::vector<int32_t>& ids);

// The spacing rules of assembled text on its own: word-boundary markers and whitespace runs become
// one space, the space in front of , . ; : ! ? goes and both ends are trimmed.
std::string NormalizeSpacing(std::string_view text);

}  // namespace orvello
