#include "history/history_file_format.h"

#include <array>
#include <cstdint>
#include <limits>
#include <nlohmann/json.hpp>
#include <utility>

#include "text/utf_conversion.h"

namespace orvello {
namespace {

using nlohmann::json;

constexpr int kIndentSpaces = 2;
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

struct OutcomeName {
    ResultOutcome outcome;
    std::string_view name;
};
constexpr std::array<OutcomeName, 7> kOutcomeNames = {{
    {ResultOutcome::Typed, "typed"},
    {ResultOutcome::Pasted, "pasted"},
    {ResultOutcome::Ran, "ran"},
    {ResultOutcome::HeldBack, "held_back"},
    {ResultOutcome::NoCommand, "no_command"},
    {ResultOutcome::TypingFailed, "typing_failed"},
    {ResultOutcome::CommandFailed, "command_failed"},
}};

std::string_view NameOf(ResultOutcome outcome) {
    for (const OutcomeName& entry : kOutcomeNames) {
        if (entry.outcome == outcome) return entry.name;
    }
    return {};
}

std::optional<ResultOutcome> OutcomeNamed(std::string_view name) {
    for (const OutcomeName& entry : kOutcomeNames) {
        if (entry.name == name) return entry.outcome;
    }
    return std::nullopt;
}

// A whole number that fits: JSON's 1.0 and true are not times.
std::optional<std::int64_t> TimeOf(const json& value) {
    if (value.is_number_unsigned()) {
        const auto time = value.get<std::uint64_t>();
        if (time > std::uint64_t(std::numeric_limits<std::int64_t>::max())) return std::nullopt;
        return std::int64_t(time);
    }
    if (value.is_number_integer()) return value.get<std::int64_t>();
    return std::nullopt;
}

std::optional<HistoryEntry> EntryOf(const json& value) {
    if (!value.is_object()) return std::nullopt;
    const auto time = value.find("time");
    const auto outcome = value.find("outcome");
    const auto text = value.find("text");
    if (time == value.end() || outcome == value.end() || text == value.end()) return std::nullopt;
    if (!outcome->is_string() || !text->is_string()) return std::nullopt;
    const std::optional<std::int64_t> seconds = TimeOf(*time);
    const std::optional<ResultOutcome> named = OutcomeNamed(outcome->get_ref<const std::string&>());
    if (!seconds || !named) return std::nullopt;
    return HistoryEntry{*seconds, *named, Utf8ToUtf16(text->get_ref<const std::string&>())};
}

std::optional<json> ParseJson(std::string_view bytes) {
    if (bytes.starts_with(kByteOrderMark)) bytes.remove_prefix(kByteOrderMark.size());
    json document = json::parse(bytes, nullptr, /*allow_exceptions=*/false);
    if (document.is_discarded()) return std::nullopt;
    return document;
}

}  // namespace

std::optional<std::deque<HistoryEntry>> ParseHistoryFile(std::string_view fileBytes) {
    const std::optional<json> document = ParseJson(fileBytes);
    if (!document || !document->is_array()) return std::nullopt;
    std::deque<HistoryEntry> entries;
    for (const json& value : *document) {
        std::optional<HistoryEntry> entry = EntryOf(value);
        if (!entry) return std::nullopt;
        if (entries.size() < kHistoryCapacity) entries.push_back(std::move(*entry));
    }
    return entries;
}

std::string FormatHistoryFile(const std::deque<HistoryEntry>& entries) {
    json document = json::array();
    for (const HistoryEntry& entry : entries) {
        document.push_back(json{
            {"outcome", NameOf(entry.outcome)},
            {"text", Utf16ToUtf8(entry.text)},
            {"time", entry.timeUtcSeconds},
        });
    }
    // Utf16ToUtf8 always gives valid UTF-8, so the dump cannot throw.
    return document.dump(kIndentSpaces);
}

}  // namespace orvello
