#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "commands/voice_command.h"

namespace orvello {

// The text of the command file and back. Reading and writing the file itself
// (its location, opening, replacing it) belongs to the caller; these functions
// only see the file's bytes.

inline constexpr std::u16string_view kCorruptedCommandFileMessage =
    u"Commands file is corrupted and could not be loaded. Your commands have been "
    u"cleared. The file will be overwritten the next time you save.";

// The corrupted-file message followed by where the file will be copied before the first
// save replaces it.
[[nodiscard]] std::u16string CorruptedCommandFileMessage(std::u16string_view backupPath);

enum class CommandFileLoadStatus {
    // A JSON array of valid command objects; the list may be empty.
    Loaded,
    // Valid JSON whose top-level value is not an array: no commands, no message.
    NotAnArray,
    // Not JSON, or an element or field of the wrong type: no commands, message set.
    Corrupted,
};

struct CommandFileLoadResult {
    CommandFileLoadStatus status = CommandFileLoadStatus::Loaded;
    // Empty unless the status is Loaded; nothing of a failed load survives.
    std::vector<VoiceCommand> commands;
    // kCorruptedCommandFileMessage when Corrupted, empty otherwise.
    std::u16string loadError;

    // True when the file held something the program could not take over, so the
    // next save would destroy it: the caller keeps a copy before that save.
    [[nodiscard]] bool FileWouldBeLostOnSave() const {
        return status != CommandFileLoadStatus::Loaded;
    }
};

// Parses the whole file with the strict JSON parser (no comments; invalid UTF-8
// is an error). A leading UTF-8 byte-order mark is accepted, and so are CR LF and
// LF line ends; the text ends at the first Ctrl+Z (0x1A), as in a text-mode read. Missing keys take
// their defaults; a "steps" value that is not an array means no steps. Integer fields accept any
// JSON number or boolean: a fraction is cut towards zero and the value is then taken modulo 2^32
// ("type", "sys_cmd_id") or 2^16 ("vk").
[[nodiscard]] CommandFileLoadResult ParseCommandFile(std::string_view fileBytes);

// The complete file text: UTF-8 without byte-order mark, keys sorted in byte
// order, two spaces per nesting level, CR LF line ends, non-ASCII characters as
// raw UTF-8, and no line break after the closing bracket. No commands give "[]".
[[nodiscard]] std::string FormatCommandFile(const std::vector<VoiceCommand>& commands);

}  // namespace orvello
