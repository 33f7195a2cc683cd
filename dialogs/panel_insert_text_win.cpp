// The Insert Text panel: the body to type, variables and line breaks included.
#include "dialogs/action_panels.h"
#include "resources/command_editor_ids.h"
#include "text/utf_conversion.h"

namespace orvello {

CPanelInsertText::CPanelInsertText() : CPanelBase(IDD_PANEL_INSERT_TEXT) {}

void CPanelInsertText::LoadFromCommand(const VoiceCommand& command) {
    if (IsWindow()) SetItemText(IDC_PANEL_TEXT_BODY, ToWideString(command.text_body));
}

// Line breaks come out of the multi-line field as CR LF; typing turns each into one Enter.
void CPanelInsertText::StoreToCommand(VoiceCommand& command) {
    if (IsWindow()) command.text_body = FromWideString(ItemText(IDC_PANEL_TEXT_BODY));
}

}  // namespace orvello
