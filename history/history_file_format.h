#pragma once
// The text of the history file and back. Reading and writing the file itself (its place, the
// atomic replace, setting a damaged one aside) belongs to the caller; these functions only see
// the file's bytes, so that a fuzzer can be pointed at the parser.
//
// The file is a UTF-8 JSON array, newest entry first, each entry an object
//   {"outcome": "typed", "text": "hello world", "time": 1797001234}
// with "time" in seconds since 1970 (UTC) and "outcome" one of "typed", "pasted", "ran",
// "held_back", "no_command", "typing_failed", "command_failed". Other keys are ignored.
#include <deque>
#include <optional>
#include <string>
#include <string_view>

#include "history/result_history.h"

namespace orvello {

// The entries, newest first and at most kHistoryCapacity of them (later ones are dropped);
// nothing when the bytes are not such a file: not JSON (or not UTF-8), not an array, or an
// entry without a whole number "time", a known "outcome" and a string "text". A leading UTF-8
// byte-order mark is accepted.
[[nodiscard]] std::optional<std::deque<HistoryEntry>> ParseHistoryFile(std::string_view fileBytes);

// The complete file text: UTF-8 without byte-order mark, keys sorted, two spaces per nesting
// level, LF line ends. No entries give "[]".
[[nodiscard]] std::string FormatHistoryFile(const std::deque<HistoryEntry>& entries);

}  // namespace orvello
