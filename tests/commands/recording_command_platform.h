#pragma once
// A command platform that notes every call and answers as it is told, for the execution
// logic on its own. The Windows tests run the same logic against the real system.
#include <cstdint>
#include <ctime>
#include <deque>
#include <span>
#include <string>
#include <vector>

#include "commands/command_execution.h"

namespace orvello::test {

struct ShellOpenCall {
    std::u16string file;
    std::u16string parameters;
};

class RecordingCommandPlatform final : public CommandPlatform {
public:
    // What the platform answers. The clock reads the upcoming times first, one per reading,
    // then localTime.
    std::tm localTime{};
    std::deque<std::tm> upcomingTimes;
    std::u16string clipboard;
    std::intptr_t shellResult = 42;
    bool acceptsInput = true;
    bool clipboardAvailable = true;

    // What it was asked.
    std::vector<std::size_t> clipboardReads;  // the limit of each read
    std::vector<ShellOpenCall> shellOpens;
    std::vector<std::u16string> typedTexts;
    std::vector<std::vector<KeyStep>> sentSteps;
    std::vector<std::uint16_t> mediaKeys;
    std::vector<std::u16string> clipboardWrites;
    int clipboardClears = 0;

    [[nodiscard]] std::tm LocalTimeNow() override {
        if (upcomingTimes.empty()) return localTime;
        const std::tm next = upcomingTimes.front();
        upcomingTimes.pop_front();
        return next;
    }
    [[nodiscard]] std::u16string ReadClipboardText(std::size_t maxUnits) override {
        clipboardReads.push_back(maxUnits);
        return clipboard.substr(0, maxUnits);
    }
    [[nodiscard]] std::intptr_t ShellOpen(std::u16string_view file,
                                          std::u16string_view parameters) override {
        shellOpens.push_back({std::u16string(file), std::u16string(parameters)});
        return shellResult;
    }
    [[nodiscard]] bool TypeText(std::u16string_view text) override {
        typedTexts.emplace_back(text);
        return acceptsInput;
    }
    [[nodiscard]] bool SendKeySteps(std::span<const KeyStep> steps) override {
        sentSteps.emplace_back(steps.begin(), steps.end());
        return acceptsInput;
    }
    [[nodiscard]] bool SendMediaKey(std::uint16_t virtualKey) override {
        mediaKeys.push_back(virtualKey);
        return acceptsInput;
    }
    [[nodiscard]] bool SetClipboardText(std::u16string_view text) override {
        clipboardWrites.emplace_back(text);
        if (clipboardAvailable) clipboard = text;
        return clipboardAvailable;
    }
    [[nodiscard]] bool ClearClipboard() override {
        ++clipboardClears;
        if (clipboardAvailable) clipboard.clear();
        return clipboardAvailable;
    }

    [[nodiscard]] bool TouchedAnything() const {
        return !shellOpens.empty() || !typedTexts.empty() || !sentSteps.empty() ||
               !mediaKeys.empty() || !clipboardWrites.empty() || clipboardClears != 0;
    }
};

// 5 March 2024, 09:07:30.
inline std::tm MarchFifthMorning() {
    std::tm time{};
    time.tm_year = 2024 - 1900;
    time.tm_mon = 2;
    time.tm_mday = 5;
    time.tm_hour = 9;
    time.tm_min = 7;
    time.tm_sec = 30;
    time.tm_wday = 2;
    time.tm_yday = 64;
    return time;
}

}  // namespace orvello::test
