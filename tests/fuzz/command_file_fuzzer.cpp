// The command file: any bytes either load, are not an array, or are reported corrupted with
// nothing kept; whatever loads is written and read back unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "commands/command_file_format.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using orvello::CommandFileLoadStatus;
    const auto result =
        orvello::ParseCommandFile(std::string_view(reinterpret_cast<const char*>(data), size));
    if (result.status != CommandFileLoadStatus::Loaded) {
        const bool corrupted = result.status == CommandFileLoadStatus::Corrupted;
        if (!result.commands.empty() || result.loadError.empty() != !corrupted) std::abort();
        return 0;
    }
    const auto again = orvello::ParseCommandFile(orvello::FormatCommandFile(result.commands));
    if (again.status != CommandFileLoadStatus::Loaded || again.commands != result.commands)
        std::abort();
    return 0;
}
