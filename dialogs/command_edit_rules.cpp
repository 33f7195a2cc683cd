#include "dialogs/command_edit_rules.h"

namespace orvello {

namespace {

constexpr std::u16string_view kBlanks = u" \t\r\n";
constexpr std::u16string_view kTrailingPunctuation = u".,!?;:";

std::u16string_view Trim(std::u16string_view text) {
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::u16string_view::npos) return {};
    const std::size_t last = text.find_last_not_of(kBlanks);
    return text.substr(first, last - first + 1);
}

std::u16string_view KeyActionProblem(const VoiceCommand& command) {
    return command.steps.empty() ? u"Must have at least one key step." : u"";
}

std::u16string_view SystemCommandProblem(const VoiceCommand& command) {
    if (command.sys_cmd_id == SystemCommandId::None) return u"Please select a system command.";
    if (command.sys_cmd_id == SystemCommandId::SetClipboardText && command.sys_cmd_arg.empty())
        return u"Text cannot be empty for Set Clipboard.";
    return u"";
}

}  // namespace

std::u16string NormalizePhrase(std::u16string_view phrase) {
    std::u16string text(Trim(phrase));
    for (char16_t& c : text) {
        if (c >= u'A' && c <= u'Z') c = char16_t(c - u'A' + u'a');
    }
    while (!text.empty() && kTrailingPunctuation.find(text.back()) != std::u16string_view::npos)
        text.pop_back();
    return std::u16string(Trim(text));
}

std::u16string_view ActionFieldsProblem(const VoiceCommand& command) {
    switch (command.type) {
        case ActionType::RunApp:
            return command.app_path.empty() ? u"Application path cannot be empty." : u"";
        case ActionType::InsertText:
            return command.text_body.empty() ? u"Text body cannot be empty." : u"";
        case ActionType::SysCommand:
            return SystemCommandProblem(command);
        default:
            return KeyActionProblem(command);
    }
}

void ClearUnusedFields(VoiceCommand& command) {
    const ActionType type = command.type;
    if (type == ActionType::RunApp || type == ActionType::InsertText ||
        type == ActionType::SysCommand)
        command.steps.clear();
    if (type != ActionType::RunApp) {
        command.app_path.clear();
        command.app_args.clear();
    }
    if (type != ActionType::InsertText) command.text_body.clear();
}

ActionPanelKind PanelKindForSelection(int selectorIndex) {
    switch (selectorIndex) {
        case 1:
            return ActionPanelKind::KeySequence;
        case 2:
            return ActionPanelKind::RunApp;
        case 3:
            return ActionPanelKind::InsertText;
        case 4:
            return ActionPanelKind::SystemCommand;
        default:
            return ActionPanelKind::KeyChord;
    }
}

int SelectorIndexOfType(ActionType type) {
    return IsKnownActionType(type) ? static_cast<int>(type) : -1;
}

int SystemCommandSelectorIndex(SystemCommandId id) {
    return static_cast<int>(SystemCommandCatalogueIndex(id).value_or(0));
}

SystemCommandId SystemCommandAtSelectorIndex(int selectorIndex) {
    if (selectorIndex < 0 || std::size_t(selectorIndex) >= SystemCommandCatalogue.size())
        return SystemCommandId::None;
    return SystemCommandCatalogue[std::size_t(selectorIndex)].id;
}

}  // namespace orvello
