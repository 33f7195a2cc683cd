// The history file: any bytes either give at most the capacity of entries or nothing; what loads
// formats into a file that loads back the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "history/history_file_format.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto entries = orvello::ParseHistoryFile(bytes);
    if (!entries) return 0;
    if (entries->size() > orvello::kHistoryCapacity) std::abort();
    const auto again = orvello::ParseHistoryFile(orvello::FormatHistoryFile(*entries));
    if (!again || *again != *entries) std::abort();
    return 0;
}
