#pragma once
// The action panels of the command editor: one borderless child dialog per action type,
// laid over the editor's placeholder. Each moves its fields between its controls and the
// editor's working command through LoadFromCommand and StoreToCommand.
//   auto panel = MakeActionPanel(ActionPanelKind::RunApp);
//   if (panel->Create(editor)) panel->LoadFromCommand(working);
//   ...
//   panel->StoreToCommand(working);
#include <memory>

#include "commands/voice_command.h"
#include "dialogs/command_edit_rules.h"
#include "dialogs/key_capture_filter_win.h"
#include "dialogs/key_sequence_list.h"
#include "ui/dialog.h"

namespace orvello {

class CPanelBase : public ui::CDialog {
public:
    using ui::CDialog::CDialog;

    // Fills the controls (and the panel's own members) from the command.
    virtual void LoadFromCommand(const VoiceCommand& command) = 0;
    // Writes the panel's fields into the command.
    virtual void StoreToCommand(VoiceCommand& command) = 0;

protected:
    // Panels leave the keyboard focus where it is when they appear.
    bool OnInitDialog() override { return false; }
    // Enter and Escape belong to the editor; a panel never ends itself.
    void OnOK() override {}
    void OnCancel() override {}
    void SetItemText(int id, const std::wstring& text) const;
    [[nodiscard]] std::wstring ItemText(int id) const;
};

// The two key panels: "Capture..." makes the next key press (with the modifiers held at
// that moment) the chord; modifier keys alone keep waiting, Escape abandons the capture.
class CKeyCapturePanel : public CPanelBase {
public:
    explicit CKeyCapturePanel(UINT templateId);

    [[nodiscard]] bool IsCapturing() const { return capturing_; }

protected:
    bool OnCommand(UINT id, UINT code, HWND control) override;

    void StartCapture();
    // The chord field's text when no capture is running.
    [[nodiscard]] virtual std::wstring ChordFieldText() const = 0;
    [[nodiscard]] virtual bool CanCapture() const { return true; }
    virtual void OnChordCaptured(const KeyStep& chord) = 0;

private:
    bool PreTranslateKey(const MSG& message);
    void EndCapture();

    bool capturing_ = false;
    KeyCaptureFilter filter_;
};

// Key Chord (template 132): exactly one step.
class CPanelKeyChord final : public CKeyCapturePanel {
public:
    CPanelKeyChord();
    void LoadFromCommand(const VoiceCommand& command) override;
    void StoreToCommand(VoiceCommand& command) override;

protected:
    bool OnInitDialog() override;
    [[nodiscard]] std::wstring ChordFieldText() const override;
    void OnChordCaptured(const KeyStep& chord) override;

private:
    KeyStep chord_;
};

// Key Sequence (template 133): an ordered list of steps.
class CPanelKeySequence final : public CKeyCapturePanel {
public:
    CPanelKeySequence();
    void LoadFromCommand(const VoiceCommand& command) override;
    void StoreToCommand(VoiceCommand& command) override;

protected:
    bool OnCommand(UINT id, UINT code, HWND control) override;
    [[nodiscard]] std::wstring ChordFieldText() const override;
    [[nodiscard]] bool CanCapture() const override { return steps_.CanCapture(); }
    void OnChordCaptured(const KeyStep& chord) override;

private:
    void RebuildList() const;
    void RefreshChordAndButtons() const;

    KeySequenceList steps_;
};

// Run Application (template 134): program path, arguments and a "..." browse button.
class CPanelRunApp final : public CPanelBase {
public:
    CPanelRunApp();
    void LoadFromCommand(const VoiceCommand& command) override;
    void StoreToCommand(VoiceCommand& command) override;

protected:
    bool OnCommand(UINT id, UINT code, HWND control) override;

private:
    void BrowseForProgram() const;
};

// Insert Text (template 136): a multi-line body.
class CPanelInsertText final : public CPanelBase {
public:
    CPanelInsertText();
    void LoadFromCommand(const VoiceCommand& command) override;
    void StoreToCommand(VoiceCommand& command) override;
};

// System Command (template 138): one of the catalogue's commands and its argument.
class CPanelSystemCommand final : public CPanelBase {
public:
    CPanelSystemCommand();
    void LoadFromCommand(const VoiceCommand& command) override;
    void StoreToCommand(VoiceCommand& command) override;

protected:
    bool OnCommand(UINT id, UINT code, HWND control) override;

private:
    [[nodiscard]] int SelectedIndex() const;
    void ApplyArgumentRule() const;
};

[[nodiscard]] std::unique_ptr<CPanelBase> MakeActionPanel(ActionPanelKind kind);

}  // namespace orvello
