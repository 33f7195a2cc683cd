// vocab.txt: any bytes either parse or raise EngineError; a parsed vocabulary's blank id names its
// "<blk>" piece, and assembling text from its ids stays inside the table.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "engine/engine_error.h"
#include "engine/vocabulary.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    orvello::Vocabulary vocabulary;
    try {
        vocabulary = orvello::ParseVocabulary(bytes);
    } catch (const orvello::EngineError&) {
        return 0;
    }
    if (vocabulary.blankId >= 0 && vocabulary.pieces.at(size_t(vocabulary.blankId)) != "<blk>")
        std::abort();
    std::vector<int32_t> ids{-1, int32_t(vocabulary.pieces.size())};
    for (size_t i = 0; i < vocabulary.pieces.size() && i < 64; ++i) ids.push_back(int32_t(i));
    (void)orvello::AssembleText(vocabulary.pieces, ids);
    return 0;
}
