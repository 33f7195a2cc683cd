#include "commands/voice_command.h"

namespace orvello {

namespace {

constexpr std::array<std::u16string_view, kActionTypeCount> kActionTypeListTexts = {
    u"KeyChord", u"KeySequence", u"RunApp", u"InsertText", u"SysCommand",
};

}  // namespace

bool IsKnownActionType(ActionType type) {
    const auto value = static_cast<std::int32_t>(type);
    return value >= 0 && static_cast<std::size_t>(value) < kActionTypeCount;
}

std::u16string_view ActionTypeListText(ActionType type) {
    if (!IsKnownActionType(type)) return u"?";
    return kActionTypeListTexts[static_cast<std::size_t>(type)];
}

std::optional<std::size_t> SystemCommandCatalogueIndex(SystemCommandId id) {
    for (std::size_t index = 0; index < SystemCommandCatalogue.size(); ++index) {
        if (SystemCommandCatalogue[index].id == id) return index;
    }
    return std::nullopt;
}

const SystemCommandEntry* FindSystemCommand(SystemCommandId id) {
    const auto index = SystemCommandCatalogueIndex(id);
    return index ? &SystemCommandCatalogue[*index] : nullptr;
}

VoiceCommand MakeNewVoiceCommand() {
    VoiceCommand command;
    command.steps.push_back(KeyStep{});
    return command;
}

}  // namespace orvello
