#include "commands/command_file_format.h"

#include <cmath>
#include <cstdint>
#include <new>
#include <nlohmann/json.hpp>
#include <utility>

#include "files/file_text.h"
#include "text/utf_conversion.h"

namespace orvello {

namespace {

using nlohmann::json;

// Raised by the readers below for a value of the wrong JSON type; it aborts the
// whole load like a syntax error does.
struct WrongJsonType {};

constexpr std::size_t kIndentSpaces = 2;

// ---- writing ----

json StepToJson(const KeyStep& step) {
    return json{
        {"mod_alt", step.alt}, {"mod_ctrl", step.ctrl}, {"mod_shift", step.shift},
        {"mod_win", step.win}, {"vk", step.vk},
    };
}

json CommandToJson(const VoiceCommand& command) {
    json steps = json::array();
    for (const KeyStep& step : command.steps) steps.push_back(StepToJson(step));
    return json{
        {"app_args", Utf16ToUtf8(command.app_args)},
        {"app_path", Utf16ToUtf8(command.app_path)},
        {"enabled", command.enabled},
        {"phrase", Utf16ToUtf8(command.phrase)},
        {"steps", std::move(steps)},
        {"sys_cmd_arg", Utf16ToUtf8(command.sys_cmd_arg)},
        {"sys_cmd_id", static_cast<std::int32_t>(command.sys_cmd_id)},
        {"text_body", Utf16ToUtf8(command.text_body)},
        {"type", static_cast<std::int32_t>(command.type)},
    };
}

// ---- reading ----

const json* FindMember(const json& object, const char* key) {
    const auto member = object.find(key);
    return member == object.end() ? nullptr : &*member;
}

std::u16string ReadString(const json& object, const char* key) {
    const json* value = FindMember(object, key);
    if (value == nullptr) return {};
    if (!value->is_string()) throw WrongJsonType{};
    return Utf8ToUtf16(value->get_ref<const std::string&>());
}

bool ReadBool(const json& object, const char* key, bool valueWhenMissing) {
    const json* value = FindMember(object, key);
    if (value == nullptr) return valueWhenMissing;
    if (!value->is_boolean()) throw WrongJsonType{};
    return value->get<bool>();
}

// The value modulo 2^64; callers narrow it further by plain unsigned conversion.
std::uint64_t WrappedFromDouble(double number) {
    constexpr double kTwoToThe64 = 18446744073709551616.0;
    const double truncated = std::trunc(number);
    const auto magnitude = static_cast<std::uint64_t>(std::fmod(std::fabs(truncated), kTwoToThe64));
    return truncated < 0 ? 0 - magnitude : magnitude;
}

std::uint64_t ReadWrappedInteger(const json& object, const char* key) {
    const json* value = FindMember(object, key);
    if (value == nullptr) return 0;
    if (value->is_boolean()) return value->get<bool>() ? 1 : 0;
    if (value->is_number_unsigned()) return value->get<std::uint64_t>();
    if (value->is_number_integer()) return static_cast<std::uint64_t>(value->get<std::int64_t>());
    if (value->is_number_float()) return WrappedFromDouble(value->get<double>());
    throw WrongJsonType{};
}

std::int32_t ReadInt32(const json& object, const char* key) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(ReadWrappedInteger(object, key)));
}

KeyStep ReadStep(const json& object) {
    if (!object.is_object()) throw WrongJsonType{};
    KeyStep step;
    step.alt = ReadBool(object, "mod_alt", false);
    step.ctrl = ReadBool(object, "mod_ctrl", false);
    step.shift = ReadBool(object, "mod_shift", false);
    step.win = ReadBool(object, "mod_win", false);
    step.vk = static_cast<std::uint16_t>(ReadWrappedInteger(object, "vk"));
    return step;
}

std::vector<KeyStep> ReadSteps(const json& object) {
    std::vector<KeyStep> steps;
    const json* value = FindMember(object, "steps");
    if (value == nullptr || !value->is_array()) return steps;
    for (const json& element : *value) steps.push_back(ReadStep(element));
    return steps;
}

VoiceCommand ReadCommand(const json& object) {
    if (!object.is_object()) throw WrongJsonType{};
    VoiceCommand command;
    command.app_args = ReadString(object, "app_args");
    command.app_path = ReadString(object, "app_path");
    command.enabled = ReadBool(object, "enabled", true);
    command.phrase = ReadString(object, "phrase");
    command.sys_cmd_arg = ReadString(object, "sys_cmd_arg");
    command.sys_cmd_id = static_cast<SystemCommandId>(ReadInt32(object, "sys_cmd_id"));
    command.text_body = ReadString(object, "text_body");
    command.type = static_cast<ActionType>(ReadInt32(object, "type"));
    command.steps = ReadSteps(object);
    return command;
}

CommandFileLoadResult CorruptedResult() {
    return {CommandFileLoadStatus::Corrupted, {}, std::u16string(kCorruptedCommandFileMessage)};
}

}  // namespace

CommandFileLoadResult ParseCommandFile(std::string_view fileBytes) {
    // A text-mode read ends at Ctrl+Z, which some old editors append to a file.
    fileBytes = TextBeforeEndOfFileMark(fileBytes);
    try {
        const json document = json::parse(fileBytes.data(), fileBytes.data() + fileBytes.size());
        if (!document.is_array()) return {CommandFileLoadStatus::NotAnArray, {}, {}};
        CommandFileLoadResult result;
        for (const json& element : document) result.commands.push_back(ReadCommand(element));
        return result;
    } catch (const json::exception&) {
        return CorruptedResult();
    } catch (const WrongJsonType&) {
        return CorruptedResult();
    } catch (const std::bad_alloc&) {
        // A file too big to hold as JSON: start without commands rather than end the program;
        // the file is still copied aside before the next save.
        return CorruptedResult();
    }
}

std::string FormatCommandFile(const std::vector<VoiceCommand>& commands) {
    json document = json::array();
    for (const VoiceCommand& command : commands) document.push_back(CommandToJson(command));
    // The strings are valid UTF-8 by construction; replacing is only a safety net.
    const std::string text =
        document.dump(kIndentSpaces, ' ', false, json::error_handler_t::replace);
    // Every line break of the dump is structural (line breaks inside strings are escaped).
    return WithCrLfLineEnds(text);
}

std::u16string CorruptedCommandFileMessage(std::u16string_view backupPath) {
    return WithBackupNote(kCorruptedCommandFileMessage, backupPath);
}

}  // namespace orvello
