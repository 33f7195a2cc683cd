#pragma once
// The commands dialog on the virtual desktop: reading its table and buttons, clicking, answering
// the application message boxes it opens from another thread, running it modally while a
// thread timer plays the user, and a command editor that answers as the test tells it.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "commands/voice_command.h"
#include "controls/key_map_static.h"
#include "controls/table_list_box.h"
#include "dialogs/commands_dialog_win.h"
#include "resources/resource.h"
#include "tests/support/desktop.h"
#include "tests/support/unix_command.h"
#include "tests/support/window_capture.h"
#include "tests/support/xdotool_key_script.h"
#include "tests/trigger/key_names.h"
#include "trigger/trigger_definition.h"

namespace orvello::test {

inline TriggerDefinition AnyKeyboard(Keys keys) {
    return {std::move(keys), true, {}};
}

// All three fields equal, the device identity too.
inline testing::AssertionResult SameTrigger(const TriggerDefinition& actual,
                                            const TriggerDefinition& expected) {
    if (actual.keys == expected.keys && actual.anyKeyboard == expected.anyKeyboard &&
        actual.deviceId == expected.deviceId) {
        return testing::AssertionSuccess();
    }
    std::string text;
    for (char16_t c : triggerText(actual)) text += c < 0x80 ? char(c) : '?';
    return testing::AssertionFailure()
           << "the trigger is " << text << (actual.anyKeyboard ? " on any keyboard" : "");
}

inline VoiceCommand Command(std::u16string phrase, ActionType type = ActionType::KeyChord,
                            bool enabled = true) {
    VoiceCommand command = MakeNewVoiceCommand();
    command.phrase = std::move(phrase);
    command.type = type;
    command.enabled = enabled;
    return command;
}

// One table row as the list box holds it: the cells of its row record and the dimmed mark.
struct ShownRow {
    std::wstring state, phrase, type;
    bool dimmed = false;
    friend bool operator==(const ShownRow&, const ShownRow&) = default;
};

inline void PrintTo(const ShownRow& row, std::ostream* out) {
    *out << "{" << testing::PrintToString(row.state) << ", " << testing::PrintToString(row.phrase)
         << ", " << testing::PrintToString(row.type) << (row.dimmed ? ", dimmed}" : "}");
}

// Reads the dialog's controls; `dialog` is the dialog window.
class DialogView {
public:
    explicit DialogView(HWND dialog) : dialog_(dialog) {}

    [[nodiscard]] HWND Item(int id) const { return GetDlgItem(dialog_, id); }
    [[nodiscard]] HWND Table() const { return Item(IDC_COMMANDS_TABLE); }

    [[nodiscard]] std::vector<ShownRow> Rows() const {
        std::vector<ShownRow> rows;
        const int count = int(SendMessageW(Table(), LB_GETCOUNT, 0, 0));
        for (int index = 0; index < count; ++index) {
            const auto* record =
                reinterpret_cast<const TableRow*>(SendMessageW(Table(), LB_GETITEMDATA, index, 0));
            if (record == nullptr || record->cells.size() != 3) {
                rows.push_back({L"<no row record>", L"", L"", false});
                continue;
            }
            rows.push_back({record->cells[0], record->cells[1], record->cells[2], record->dimmed});
        }
        return rows;
    }
    [[nodiscard]] int Selection() const { return int(SendMessageW(Table(), LB_GETCURSEL, 0, 0)); }

    // "New", "Edit", "Delete", "Move Up", "Move Down" as 1 (enabled) or 0.
    [[nodiscard]] std::string ButtonStates() const {
        std::string states;
        for (int id : {IDC_COMMANDS_NEW, IDC_COMMANDS_EDIT, IDC_COMMANDS_DELETE,
                       IDC_COMMANDS_MOVE_UP, IDC_COMMANDS_MOVE_DOWN}) {
            states += IsWindowEnabled(Item(id)) ? '1' : '0';
        }
        return states;
    }

    [[nodiscard]] std::wstring Text(int id) const {
        wchar_t text[512] = {};
        GetWindowTextW(Item(id), text, 512);
        return text;
    }
    [[nodiscard]] Keys KeyMapTriggerKeys() const {
        const auto* keyMap =
            dynamic_cast<const CKeyMapStatic*>(ui::CWnd::FromHandle(Item(IDC_KEY_MAP)));
        return keyMap ? keyMap->TriggerKeys() : Keys{ModifierKey::Unknown};
    }

    // A click on an enabled button, as the mouse would give it (no click on a disabled one).
    void Click(int id) const { SendMessageW(Item(id), BM_CLICK, 0, 0); }
    // The command a button sends, whether or not the button is enabled.
    void SendCommand(int id, int code = BN_CLICKED) const {
        SendMessageW(dialog_, WM_COMMAND, MAKEWPARAM(id, code), LPARAM(Item(id)));
    }

    // Clicks (or double-clicks) a row with the mouse of the virtual desktop.
    [[nodiscard]] bool ClickRow(int row, int clicks = 1) const {
        RECT item{};
        if (SendMessageW(Table(), LB_GETITEMRECT, row, LPARAM(&item)) == LB_ERR) return false;
        POINT centre{(item.left + item.right) / 2, (item.top + item.bottom) / 2};
        ClientToScreen(Table(), &centre);
        const std::string command = "xdotool mousemove --sync " + std::to_string(centre.x) + " " +
                                    std::to_string(centre.y) + " click --repeat " +
                                    std::to_string(clicks) + " --delay 60 1";
        if (RunUnixCommand(command) != 0) return false;
        PumpMessages(150);
        return true;
    }

private:
    HWND dialog_;
};

// Handles messages until `done` holds or `timeoutMs` has passed; returns `done()`.
inline bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 3000) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > timeoutMs) return false;
        PumpMessages(10);
    }
    return true;
}

// Presses keys on the virtual keyboard (X keycodes, see tests/support/desktop.h).
[[nodiscard]] inline bool Xdotool(const std::string& arguments) {
    return RunUnixCommand("xdotool " + arguments) == 0;
}

// Waits on a thread of its own for a message box captioned "Orvello", writes down its texts
// and icon, and presses `button`.
class MessageBoxAnswer {
public:
    explicit MessageBoxAnswer(int button, DWORD waitMs = 5000)
        : thread_([this, button, waitMs] { Watch(button, waitMs); }) {}
    ~MessageBoxAnswer() { Join(); }
    MessageBoxAnswer(const MessageBoxAnswer&) = delete;
    MessageBoxAnswer& operator=(const MessageBoxAnswer&) = delete;

    void Join() {
        if (thread_.joinable()) thread_.join();
    }

    std::atomic<bool> found = false;
    std::wstring message;      // the text of the box's message
    std::vector<int> buttons;  // ids of its push buttons
    LPCWSTR icon = nullptr;    // IDI_... of its icon, when recognised

private:
    void Watch(int button, DWORD waitMs) {
        const DWORD start = GetTickCount();
        while (GetTickCount() - start < waitMs) {
            if (HWND box = FindWindowW(L"#32770", L"Orvello")) {
                Sleep(100);  // let it finish its layout
                Read(box);
                found = true;
                PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                             LPARAM(GetDlgItem(box, button)));
                return;
            }
            Sleep(20);
        }
    }

    void Read(HWND box) {
        for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            wchar_t className[32] = {}, text[1024] = {};
            GetClassNameW(child, className, 32);
            GetWindowTextW(child, text, 1024);
            const LONG style = GetWindowLongW(child, GWL_STYLE);
            if (lstrcmpiW(className, L"Button") == 0) {
                buttons.push_back(GetDlgCtrlID(child));
            } else if ((style & SS_TYPEMASK) == SS_ICON) {
                ReadIcon(child);
            } else if (text[0] != 0) {
                message = text;
            }
        }
    }

    void ReadIcon(HWND iconStatic) {
        const auto shown = HICON(SendMessageW(iconStatic, STM_GETICON, 0, 0));
        for (LPCWSTR candidate : {IDI_QUESTION, IDI_INFORMATION, IDI_EXCLAMATION, IDI_ERROR}) {
            if (shown != nullptr && shown == LoadIconW(nullptr, candidate)) icon = candidate;
        }
    }

    std::thread thread_;
};

// Plays the user of a command editor: writes down what it was opened on and answers with
// `answer` (nothing: Cancel).
class ScriptedEditor final : public CommandEditorLauncher {
public:
    std::optional<VoiceCommand> EditCommand(const VoiceCommand& command, HWND parent) override {
        opened.push_back(command);
        parents.push_back(parent);
        return answer;
    }

    std::optional<VoiceCommand> answer;
    std::vector<VoiceCommand> opened;
    std::vector<HWND> parents;
};

// Runs a dialog modally; `act` gets the dialog window once it shows, on the dialog's thread.
// A run that `act` does not end is ended with -2 after a while.
inline INT_PTR RunModal(ui::CDialog& dialog, std::function<void(HWND)> act) {
    static std::function<void(HWND)> pending;
    static HWND shown = nullptr;
    pending = std::move(act);
    shown = nullptr;
    const UINT_PTR actTimer = SetTimer(nullptr, 0, 100, [](HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        shown = FindWindowW(L"#32770", L"Commands");
        if (shown && pending) pending(shown);
    });
    const UINT_PTR giveUpTimer = SetTimer(nullptr, 0, 30000, [](HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        if (shown) EndDialog(shown, -2);
    });
    const INT_PTR result = dialog.DoModal();
    KillTimer(nullptr, actTimer);
    KillTimer(nullptr, giveUpTimer);
    pending = {};
    return result;
}

// The window receiving keyboard raw input in this process, or null.
inline HWND KeyboardInputTarget(bool* registered = nullptr) {
    RAWINPUTDEVICE devices[8];
    UINT count = 8;
    const UINT listed = GetRegisteredRawInputDevices(devices, &count, sizeof(RAWINPUTDEVICE));
    if (registered) *registered = false;
    for (UINT i = 0; i < listed && i < 8; ++i) {
        if (devices[i].usUsagePage == 1 && devices[i].usUsage == 6) {
            if (registered) *registered = true;
            return devices[i].hwndTarget;
        }
    }
    return nullptr;
}

}  // namespace orvello::test
