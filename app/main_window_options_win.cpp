// The main window's input-device list, DSP controls and option check boxes. Every change is
// written to the registry at once.
#include "app/dsp_settings.h"
#include "app/input_device_list_win.h"
#include "app/main_window_win.h"

#include <commctrl.h>

#include "resources/resource.h"
#include "text/utf_conversion.h"
#include "ui/application.h"

namespace orvello {
namespace {

constexpr int kLogFontPoints = 8;

}  // namespace

// Rebuilt at start-up and whenever devices come or go; the saved device (or the first one) is
// selected again, so a choice made without "Use Selected Input" lasts only until then.
void CTessarinDlg::FillInputDeviceList() {
    inputList_.ResetContent();
    inputDevices_ = ListInputDevices();
    for (const InputDeviceEntry& entry : inputDevices_) {
        inputList_.AddString(ToWideString(entry.name));
    }
    if (const auto selection = SelectSavedInputDevice(profile_, inputDevices_)) {
        inputList_.SetCurSel(int(*selection));
    }
}

std::optional<std::size_t> CTessarinDlg::SelectedInputDevice() const {
    const int selection = inputList_.GetCurSel();
    if (selection < 0) return std::nullopt;
    return std::size_t(selection);
}

void CTessarinDlg::OnUseSelectedInput() {
    if (!SaveInputDevice(profile_, inputDevices_, SelectedInputDevice())) {
        ui::AppMessageBox(ToWideString(kSelectInputDeviceFirstText), MB_OK | MB_ICONEXCLAMATION);
    }
}

void CTessarinDlg::SetUpDspControls() {
    HWND noiseGate = GetDlgItem(IDC_NOISE_GATE_SLIDER);
    HWND lowCut = GetDlgItem(IDC_LOW_CUT_SLIDER);
    ::SendMessageW(noiseGate, TBM_SETRANGE, TRUE, MAKELPARAM(0, kNoiseGateMax));
    ::SendMessageW(lowCut, TBM_SETRANGE, TRUE, MAKELPARAM(0, kLowCutMaxHz));
    ::SendMessageW(noiseGate, TBM_SETPOS, TRUE, settings_.noiseGate);
    ::SendMessageW(lowCut, TBM_SETPOS, TRUE, settings_.lowCutHz);
    RefreshDspLabels();
    ::EnableWindow(noiseGate, settings_.dspEnabled);
    ::EnableWindow(lowCut, settings_.dspEnabled);
}

void CTessarinDlg::RefreshDspLabels() {
    ::SetDlgItemTextW(Hwnd(), IDC_NOISE_GATE_LABEL,
                      ToWideString(NoiseGateLabel(settings_.noiseGate)).c_str());
    ::SetDlgItemTextW(Hwnd(), IDC_LOW_CUT_LABEL,
                      ToWideString(LowCutLabel(settings_.lowCutHz)).c_str());
}

void CTessarinDlg::OnHScroll(UINT code, int position, HWND scrollBar) {
    if (scrollBar != nullptr && (scrollBar == GetDlgItem(IDC_NOISE_GATE_SLIDER) ||
                                 scrollBar == GetDlgItem(IDC_LOW_CUT_SLIDER))) {
        OnDspSliderMoved(scrollBar);
        return;
    }
    ui::CDialogEx::OnHScroll(code, position, scrollBar);
}

void CTessarinDlg::OnDspSliderMoved(HWND slider) {
    const auto position = std::int32_t(::SendMessageW(slider, TBM_GETPOS, 0, 0));
    if (slider == GetDlgItem(IDC_NOISE_GATE_SLIDER)) {
        settings_.noiseGate = position;
    } else {
        settings_.lowCutHz = position;
    }
    SaveDspLevels(profile_, settings_);
    RefreshDspLabels();
    recording_.applyDspSettings();
}

void CTessarinDlg::OnDspDefault() {
    settings_.noiseGate = kDefaultNoiseGate;
    settings_.lowCutHz = kDefaultLowCutHz;
    ::SendDlgItemMessageW(Hwnd(), IDC_NOISE_GATE_SLIDER, TBM_SETPOS, TRUE, settings_.noiseGate);
    ::SendDlgItemMessageW(Hwnd(), IDC_LOW_CUT_SLIDER, TBM_SETPOS, TRUE, settings_.lowCutHz);
    SaveDspLevels(profile_, settings_);
    RefreshDspLabels();
    recording_.applyDspSettings();
}

void CTessarinDlg::OnEnableDsp() {
    settings_.dspEnabled = IsChecked(IDC_ENABLE_DSP);
    SaveDspEnabled(profile_, settings_);
    ::EnableWindow(GetDlgItem(IDC_NOISE_GATE_SLIDER), settings_.dspEnabled);
    ::EnableWindow(GetDlgItem(IDC_LOW_CUT_SLIDER), settings_.dspEnabled);
    recording_.applyDspSettings();
}

void CTessarinDlg::LoadOptionCheckBoxes() {
    LoadOptionSettings(profile_, settings_);
    SetChecked(IDC_ADD_SPACE, settings_.appendSpace);
    SetChecked(IDC_ADD_NEW_LINE, settings_.appendNewline);
    SetChecked(IDC_START_MINIMIZED, settings_.startMinimized);
    SetChecked(IDC_USE_PASTE, settings_.usePaste);
    SetChecked(IDC_FASTER_ENGINE_START, settings_.fasterEngineStart);
    SetChecked(IDC_RESTORE_CLIPBOARD, settings_.restoreClipboard);
    SetChecked(IDC_SHOW_TEXT_WHILE_SPEAKING, settings_.showTextWhileSpeaking);
    routing_->SetRestoreClipboard(settings_.restoreClipboard);
}

void CTessarinDlg::OnOptionCheckBox(UINT id) {
    const bool checked = IsChecked(int(id));
    switch (id) {
        case IDC_ADD_SPACE:
            settings_.appendSpace = checked;
            SaveTextOptions(profile_, settings_);
            break;
        case IDC_ADD_NEW_LINE:
            settings_.appendNewline = checked;
            SaveTextOptions(profile_, settings_);
            break;
        case IDC_START_MINIMIZED:
            settings_.startMinimized = checked;
            SaveStartMinimized(profile_, settings_);
            break;
        case IDC_USE_PASTE:
            settings_.usePaste = checked;
            SaveUsePaste(profile_, settings_);
            break;
        case IDC_FASTER_ENGINE_START:
            settings_.fasterEngineStart = checked;
            SaveFasterEngineStart(profile_, settings_);
            if (!checked) recording_.deleteModelCache();
            break;
        case IDC_RESTORE_CLIPBOARD:
            settings_.restoreClipboard = checked;
            SaveRestoreClipboard(profile_, settings_);
            routing_->SetRestoreClipboard(checked);
            break;
        case IDC_SHOW_TEXT_WHILE_SPEAKING:
            settings_.showTextWhileSpeaking = checked;
            SaveShowTextWhileSpeaking(profile_, settings_);
            break;
        default:
            break;
    }
}

bool CTessarinDlg::IsChecked(int id) const {
    return ::SendDlgItemMessageW(Hwnd(), id, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void CTessarinDlg::SetChecked(int id, bool checked) const {
    ::CheckDlgButton(Hwnd(), id, checked ? BST_CHECKED : BST_UNCHECKED);
}

void CTessarinDlg::CreateLogFont() {
    HDC screen = ::GetDC(nullptr);
    const int height = -::MulDiv(kLogFontPoints, ::GetDeviceCaps(screen, LOGPIXELSY), 72);
    ::ReleaseDC(nullptr, screen);
    logFont_.Reset(::CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                 OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                 FIXED_PITCH | FF_MODERN, L"Consolas"));
    if (logFont_) ::SendDlgItemMessageW(Hwnd(), IDC_LOG, WM_SETFONT, WPARAM(logFont_.Get()), TRUE);
}

}  // namespace orvello
