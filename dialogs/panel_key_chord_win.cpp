// The Key Chord panel: one chord, shown with the layout's key names and captured from
// the keyboard.
#include "dialogs/action_panels.h"
#include "output/output_win.h"
#include "resources/command_editor_ids.h"

namespace orvello {

CPanelKeyChord::CPanelKeyChord() : CKeyCapturePanel(IDD_PANEL_KEY_CHORD) {}

bool CPanelKeyChord::OnInitDialog() {
    SetItemText(IDC_PANEL_CHORD_TEXT, ChordFieldText());
    return CKeyCapturePanel::OnInitDialog();
}

void CPanelKeyChord::LoadFromCommand(const VoiceCommand& command) {
    chord_ = command.steps.empty() ? KeyStep{} : command.steps.front();
    if (IsWindow()) SetItemText(IDC_PANEL_CHORD_TEXT, ChordFieldText());
}

// Always exactly one step, an empty one included: a chord command without a key is
// accepted and sends nothing.
void CPanelKeyChord::StoreToCommand(VoiceCommand& command) {
    command.steps.assign(1, chord_);
}

std::wstring CPanelKeyChord::ChordFieldText() const {
    return FormatKeyStep(chord_);
}

void CPanelKeyChord::OnChordCaptured(const KeyStep& chord) {
    chord_ = chord;
    SetItemText(IDC_PANEL_CHORD_TEXT, ChordFieldText());
}

}  // namespace orvello
