#include "replacements/replacements_file_format.h"

#include <new>
#include <nlohmann/json.hpp>
#include <optional>

#include "files/file_text.h"
#include "text/utf_conversion.h"

namespace orvello {
namespace {

using nlohmann::json;

constexpr int kIndentSpaces = 2;

bool HasMoreThanWhiteSpace(const std::string& text) {
    return text.find_first_not_of(" \t\r\n") != std::string::npos;
}

// Why the element cannot be a replacement; empty when it can.
std::u16string_view EntryProblem(const json& element) {
    if (!element.is_object()) return u"it is not an object with \"written\" and \"typed\"";
    const auto written = element.find("written");
    if (written == element.end() || !written->is_string()) {
        return u"\"written\" is missing or not text";
    }
    if (!HasMoreThanWhiteSpace(written->get_ref<const std::string&>())) {
        return u"\"written\" is empty";
    }
    const auto typed = element.find("typed");
    if (typed == element.end() || !typed->is_string()) return u"\"typed\" is missing or not text";
    return {};
}

std::u16string SkippedEntryLine(std::size_t number, std::u16string_view problem) {
    return u"Replacement " + Utf8ToUtf16(std::to_string(number)) +
           u" in replacements.kwx skipped: " + std::u16string(problem) + u".";
}

Replacement ReadEntry(const json& element) {
    return {Utf8ToUtf16(element["written"].get_ref<const std::string&>()),
            WithCrLfLineBreaks(Utf8ToUtf16(element["typed"].get_ref<const std::string&>()))};
}

ReplacementsFileLoadResult ReadEntries(const json& document) {
    ReplacementsFileLoadResult result;
    std::size_t number = 0;
    for (const json& element : document) {
        ++number;
        if (const std::u16string_view problem = EntryProblem(element); !problem.empty()) {
            result.skippedEntries.push_back(SkippedEntryLine(number, problem));
        } else {
            result.replacements.push_back(ReadEntry(element));
        }
    }
    return result;
}

std::optional<json> ParsedJson(std::string_view text) {
    try {
        return json::parse(text.data(), text.data() + text.size());
    } catch (const json::exception&) {
        return std::nullopt;
    } catch (const std::bad_alloc&) {
        // Too big to hold as JSON: start without replacements rather than end the program.
        return std::nullopt;
    }
}

ReplacementsFileLoadResult CorruptedResult() {
    ReplacementsFileLoadResult result;
    result.corrupted = true;
    return result;
}

}  // namespace

std::u16string WithCrLfLineBreaks(std::u16string_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (std::size_t index = 0; index < text.size(); ++index) {
        const char16_t unit = text[index];
        if (unit != u'\r' && unit != u'\n') {
            out += unit;
            continue;
        }
        out += u"\r\n";
        if (unit == u'\r' && index + 1 < text.size() && text[index + 1] == u'\n') ++index;
    }
    return out;
}

ReplacementsFileLoadResult ParseReplacementsFile(std::string_view fileBytes) {
    const std::optional<json> document = ParsedJson(TextBeforeEndOfFileMark(fileBytes));
    if (!document || !document->is_array()) return CorruptedResult();
    try {
        return ReadEntries(*document);
    } catch (const std::bad_alloc&) {
        return CorruptedResult();
    }
}

std::string FormatReplacementsFile(const std::vector<Replacement>& replacements) {
    nlohmann::ordered_json document = nlohmann::ordered_json::array();
    for (const Replacement& replacement : replacements) {
        document.push_back({{"written", Utf16ToUtf8(replacement.written)},
                            {"typed", Utf16ToUtf8(replacement.typed)}});
    }
    // The strings are valid UTF-8 by construction; replacing is only a safety net. Every line
    // break of the dump is structural (line breaks inside strings are escaped).
    return WithCrLfLineEnds(
        document.dump(kIndentSpaces, ' ', false, nlohmann::ordered_json::error_handler_t::replace));
}

}  // namespace orvello
