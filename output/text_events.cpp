#include "output/text_events.h"

#include <cstdint>

namespace orvello {

namespace {

void AppendCodeUnitEvents(std::vector<KeyboardInput>& events, std::uint16_t codeUnit) {
    if (codeUnit == u'\r') return;  // CR LF becomes a single Enter; a lone CR is dropped
    if (codeUnit == u'\n') {
        events.push_back(VirtualKeyEvent(virtual_key::kReturn, 0));
        events.push_back(VirtualKeyEvent(virtual_key::kReturn, kKeyEventKeyUp));
        return;
    }
    events.push_back(UnicodeKeyEvent(codeUnit, 0));
    events.push_back(UnicodeKeyEvent(codeUnit, kKeyEventKeyUp));
}

template <typename CodeUnit>
std::vector<KeyboardInput> BuildTextEventsOf(std::basic_string_view<CodeUnit> text) {
    static_assert(sizeof(CodeUnit) == 2, "text is UTF-16");
    std::vector<KeyboardInput> events;
    events.reserve(2 * text.size());
    for (const CodeUnit unit : text) AppendCodeUnitEvents(events, static_cast<std::uint16_t>(unit));
    return events;
}

bool SendAll(std::span<const KeyboardInput> events, KeyboardInputSender& sender) {
    if (events.empty()) return true;
    return sender.Send(events) == events.size();
}

}  // namespace

std::vector<KeyboardInput> BuildTextEvents(std::u16string_view text) {
    return BuildTextEventsOf(text);
}

bool TypeText(std::u16string_view text, KeyboardInputSender& sender) {
    return SendAll(BuildTextEvents(text), sender);
}

#ifdef _WIN32
std::vector<KeyboardInput> BuildTextEvents(std::wstring_view text) {
    return BuildTextEventsOf(text);
}

bool TypeText(std::wstring_view text, KeyboardInputSender& sender) {
    return SendAll(BuildTextEvents(text), sender);
}
#endif

std::array<KeyboardInput, 4> BuildPasteEvents() {
    return {
        VirtualKeyEvent(virtual_key::kControl, 0),
        VirtualKeyEvent(virtual_key::kLetterV, 0),
        VirtualKeyEvent(virtual_key::kLetterV, kKeyEventKeyUp),
        VirtualKeyEvent(virtual_key::kControl, kKeyEventKeyUp),
    };
}

bool SendPasteKeys(KeyboardInputSender& sender) {
    const auto events = BuildPasteEvents();
    return sender.Send(events) == events.size();
}

}  // namespace orvello
