// The replacements file: any bytes load (a corrupted file loads as none); what loads formats into
// a file that loads back the same, and applying it to a text never fails.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "replacements/replacement_matcher.h"
#include "replacements/replacements_file_format.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const orvello::ReplacementsFileLoadResult loaded = orvello::ParseReplacementsFile(bytes);
    if (loaded.corrupted && !loaded.replacements.empty()) std::abort();
    const orvello::ReplacementsFileLoadResult again =
        orvello::ParseReplacementsFile(orvello::FormatReplacementsFile(loaded.replacements));
    if (again.corrupted || !again.skippedEntries.empty() ||
        again.replacements != loaded.replacements)
        std::abort();
    const orvello::ReplacementMatcher matcher(loaded.replacements);
    (void)matcher.Apply(u"Orvello, new paragraph: hello world. \u00c7a!");
    return 0;
}
