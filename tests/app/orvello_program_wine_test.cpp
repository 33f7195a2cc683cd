// Orvello.exe itself, started as its own process under Wine the way a user starts it: the main
// window and its start-up, settings in the registry, one instance at a time, the tray exit, and
// push-to-talk end to end — Right Ctrl held on the virtual keyboard, speech into the virtual
// microphone, the text typed into another program's window or, with Orvello's own window in
// front, only logged; a voice command run with the command trigger; and the main window's
// wiring: the DSP controls, the input list, the tray, a microphone that cannot be opened, the
// log area, the commands dialog's hold on the keyboard in both keyboard scopes, resume; the History
// dialog.
#include <windows.h>
// After windows.h, which they need.
#include <commctrl.h>
#include <dbt.h>
#include <sddl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cwctype>
#include <fstream>
#include <future>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "app/input_device_list_win.h"
#include "app/tray_icon_win.h"
#include "commands/command_file_format.h"
#include "commands/command_file_win.h"
#include "commands/command_store.h"
#include "engine/model_cache.h"
#include "files/atomic_file_win.h"
#include "history/history_file_format.h"
#include "history/history_file_win.h"
#include "output/clipboard_win.h"
#include "replacements/replacements_file_win.h"
#include "tests/app/orvello_process_win.h"
#include "tests/app/push_to_talk_win.h"
#include "tests/app/recording_message_pump.h"
#include "tests/audio/virtual_microphone_win.h"
#include "tests/output/wine_output_support.h"
#include "tests/support/desktop.h"
#include "tests/support/test_window.h"
#include "text/utf_conversion.h"

namespace orvello {
namespace {

using namespace std::chrono_literals;

constexpr int kInputListId = 1000;
constexpr int kUseSelectedInputId = 1001;
constexpr int kMultipleKeyboardsId = 1006;
constexpr int kLogId = 1007;
constexpr int kTriggerTextId = 1003;
constexpr int kAddSpaceId = 1044;
constexpr int kAddNewLineId = 1045;
constexpr int kUsePasteId = 1065;
constexpr int kFasterEngineStartId = 1090;
constexpr int kRestoreClipboardId = 1095;
constexpr int kShowTextWhileSpeakingId = 1096;
constexpr int kStartMinimizedId = 1051;
constexpr int kEnableDspId = 1010;
constexpr int kExitId = 1009;
constexpr int kReloadEngineId = 1008;
constexpr int kEditCommandsId = 1021;
constexpr int kEditReplacementsId = 1087;
constexpr int kNoiseGateSliderId = 1011;
constexpr int kLowCutSliderId = 1012;
constexpr int kNoiseGateLabelId = 1013;
constexpr int kLowCutLabelId = 1014;
constexpr int kDspDefaultId = 1017;
constexpr int kSelectTriggerId = 1004;  // in the main window and in the commands dialog
constexpr UINT kTrayExitCommand = 32772;
// The main window's "History" button and the History dialog's controls.
constexpr int kHistoryId = 1086;
constexpr int kHistoryTableId = 1080;
constexpr int kHistoryCopyId = 1081;
constexpr int kHistoryTextId = 1083;
constexpr int kKeepHistoryId = 1084;
constexpr UINT kTrayOpenModelFolderCommand = 32790;
constexpr UINT kTrayStopRecordingCommand = 32785;
constexpr UINT kLongQuietMessage = WM_APP + 12;
constexpr UINT WM_APP_TRAY_NOTIFY = WM_APP + 1;
// Wine's one keyboard, as raw input names it.
constexpr wchar_t kWineKeyboardIdentity[] = LR"(\\?\HID#VID_845E&PID_0002)";

// For failure messages: the text with anything beyond ASCII as '?'.
std::string Narrow(const std::wstring& text) {
    std::string narrow;
    for (const wchar_t c : text) narrow += c < 128 ? char(c) : '?';
    return narrow;
}

std::size_t CountOf(const std::wstring& text, const std::wstring& part) {
    std::size_t count = 0;
    for (auto at = text.find(part); at != std::wstring::npos; at = text.find(part, at + 1)) ++count;
    return count;
}

std::wstring WithModel() {
    return test::RunFolder(ORVELLO_RUN_FOLDER);
}
std::wstring WithoutModel() {
    return test::RunFolder(ORVELLO_RUN_FOLDER_WITHOUT_MODEL);
}
std::wstring WithoutRuntime() {
    return test::RunFolder(ORVELLO_RUN_FOLDER_WITHOUT_RUNTIME);
}

// The log's line after "Engine ready." for the demo model in a run folder's `models`.
std::wstring DemoModelLine(const std::wstring& runFolder) {
    return L"Model: the English demo model, " + runFolder + L"\\models\r\n";
}

// A window of another program (this test) that pastes as an editor does: on Ctrl+V it reads the
// clipboard's text; given a text to copy, it then copies that, as a user might right after.
class PastingTarget {
public:
    explicit PastingTarget(std::wstring copyAfterPaste)
        : copyAfterPaste_(std::move(copyAfterPaste)) {
        window_.OnMessage([this](UINT message, WPARAM key, LPARAM) {
            if (key == VK_CONTROL) ctrlHeld_ = message == WM_KEYDOWN;
            if (message != WM_KEYDOWN || key != 'V' || !ctrlHeld_) return false;
            pasted += test::ClipboardTextDirect();
            if (!copyAfterPaste_.empty())
                EXPECT_TRUE(test::SetClipboardTextDirect(copyAfterPaste_));
            return true;
        });
    }
    [[nodiscard]] bool Focus() { return test::ShowAndFocus(window_.hwnd()); }

    std::wstring pasted;

private:
    std::wstring copyAfterPaste_;
    bool ctrlHeld_ = false;
    test::TestWindow window_{L"Orvello pasting target"};
};

// Wine's per-program DLL overrides, read by Orvello.exe at its start: the named DLL is disabled
// for as long as the scope lasts, as if it were not installed.
class DisabledDllScope {
public:
    explicit DisabledDllScope(const wchar_t* dll) : dll_(dll) {
        if (dll_ && RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                                    &key_, nullptr) == ERROR_SUCCESS) {
            RegSetValueExW(key_, dll_, 0, REG_SZ, reinterpret_cast<const BYTE*>(L""),
                           sizeof(wchar_t));
        }
    }
    ~DisabledDllScope() {
        if (!key_) return;
        RegDeleteValueW(key_, dll_);
        RegCloseKey(key_);
    }

private:
    static constexpr const wchar_t* kKey =
        L"Software\\Wine\\AppDefaults\\Orvello.exe\\DllOverrides";
    const wchar_t* dll_;
    HKEY key_ = nullptr;
};

// Moves the user's command file (or another file of theirs) out of the way for the test and puts
// it back afterwards.
class CommandFileScope {
public:
    explicit CommandFileScope(std::wstring path = GetCommandFilePath()) : path_(std::move(path)) {
        saved_ = path_ + L".orvello-test";
        MoveFileExW(path_.c_str(), saved_.c_str(), MOVEFILE_REPLACE_EXISTING);
    }
    ~CommandFileScope() {
        DeleteFileW(path_.c_str());
        MoveFileExW(saved_.c_str(), path_.c_str(), MOVEFILE_REPLACE_EXISTING);
    }

private:
    std::wstring path_;
    std::wstring saved_;
};

// Moves the user's history file out of the way for the test and puts it back afterwards.
class HistoryFileScope {
public:
    HistoryFileScope() : path_(GetHistoryFilePath()), saved_(path_ + L".orvello-test") {
        MoveFileExW(path_.c_str(), saved_.c_str(), MOVEFILE_REPLACE_EXISTING);
    }
    ~HistoryFileScope() {
        DeleteFileW(path_.c_str());
        MoveFileExW(saved_.c_str(), path_.c_str(), MOVEFILE_REPLACE_EXISTING);
    }
    [[nodiscard]] const std::wstring& Path() const { return path_; }

private:
    std::wstring path_;
    std::wstring saved_;
};

class OrvelloProgramTest : public ::testing::Test {
protected:
    // Other test programs share this Wine prefix's model cache with copies of the demo model of
    // other times; starting without it keeps their notes out of the logs these tests compare.
    static void SetUpTestSuite() {
        std::error_code ignored;
        fs::remove_all(DefaultModelCacheFolder(), ignored);
    }
    void SetUp() override { test::DeleteOrvelloSettings(); }
    void TearDown() override { test::DeleteOrvelloSettings(); }

    // Speech of `text` as a WAV file in the build folder.
    static std::string SpeechWav(const std::string& text, const std::string& name) {
        const std::string wav = test::BuildFolderFile(name);
        EXPECT_FALSE(test::SpeakToWav(text, wav).empty()) << "could not synthesize " << text;
        return wav;
    }

    // The speech most push-to-talk tests dictate.
    static std::string HelloWorldWav() {
        return SpeechWav("hello world", "program-hello-world.wav");
    }

    // The main window once Orvello has started and loaded its engine; null when either does not
    // come.
    static HWND ReadyMainWindow(test::OrvelloProcess& orvello) {
        HWND main = orvello.WaitForMainWindow();
        if (main == nullptr || !orvello.WaitForLogContaining(L"Engine ready.", 20s)) return nullptr;
        return main;
    }

    // Clicks a button of the main window without waiting for what the click starts (a message
    // box would otherwise hold the test up).
    static void Click(HWND main, int buttonId) {
        PostMessageW(main, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED),
                     LPARAM(GetDlgItem(main, buttonId)));
    }
};

TEST_F(OrvelloProgramTest, StartsWithTheEngineReadyTheDefaultsAndNothingWritten) {
    test::OrvelloProcess orvello(WithModel());
    ASSERT_TRUE(orvello.Started());
    HWND main = ReadyMainWindow(orvello);
    ASSERT_NE(main, nullptr);

    EXPECT_EQ(orvello.ControlText(kLogId),
              L"Engine ready.\r\n" + DemoModelLine(WithModel()) +
                  L"To test: hold the trigger key, speak, then release.\r\n");
    EXPECT_TRUE(IsWindowVisible(main));
    EXPECT_EQ(orvello.ControlText(kTriggerTextId), L"Right Ctrl");
    EXPECT_EQ(orvello.ControlText(1013), L"Noise Gate: 10");
    EXPECT_EQ(orvello.ControlText(1014), L"Low-Cut: 90 Hz");
    EXPECT_TRUE(orvello.IsChecked(kEnableDspId));
    EXPECT_TRUE(orvello.IsChecked(kAddSpaceId));
    EXPECT_FALSE(orvello.IsChecked(kAddNewLineId));
    EXPECT_FALSE(orvello.IsChecked(kUsePasteId));
    EXPECT_FALSE(orvello.IsChecked(kStartMinimizedId));
    EXPECT_TRUE(orvello.IsChecked(kRestoreClipboardId));
    EXPECT_TRUE(orvello.IsChecked(kShowTextWhileSpeakingId));
    // Start-up reads the settings and writes none of them.
    EXPECT_FALSE(test::SettingsKeyExists());
}

TEST_F(OrvelloProgramTest, WithoutAModelItSaysSoAndKeepsRunning) {
    test::OrvelloProcess orvello(WithoutModel());
    ASSERT_NE(orvello.WaitForMainWindow(), nullptr);
    ASSERT_TRUE(orvello.WaitForLogContaining(L"Engine failed to load.", 20s));
    EXPECT_EQ(orvello.ControlText(kLogId), L"Engine failed to load.\r\n");
    EXPECT_FALSE(orvello.WaitForExit(500ms).has_value());
}

// Without onnxruntime.dll, or without the Visual C++ runtime it needs, Orvello still starts and
// says at once which file is missing and what to do about it.
TEST_F(OrvelloProgramTest, AMissingRuntimeIsNamedWithWhatToDoAndTheRestKeepsWorking) {
    const struct {
        std::wstring folder;
        const wchar_t* disabledDll;
        const wchar_t* missing;
        const wchar_t* advice;
    } cases[] = {
        {WithoutRuntime(), nullptr, L"onnxruntime.dll is missing",
         L"Unzip or install Orvello again."},
        {WithModel(), L"msvcp140", L"MSVCP140.dll",
         L"Install the Microsoft Visual C++ 2015-2022 Redistributable (x64)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Narrow(c.missing));
        DisabledDllScope disabled(c.disabledDll);
        test::OrvelloProcess orvello(c.folder);
        HWND message = orvello.WaitForMessageBox();
        ASSERT_NE(message, nullptr);
        const std::wstring text = test::MessageBoxText(message);
        EXPECT_NE(text.find(c.missing), std::wstring::npos) << Narrow(text);
        EXPECT_NE(text.find(c.advice), std::wstring::npos) << Narrow(text);
        PostMessageW(message, WM_COMMAND, IDOK, 0);
        HWND main = orvello.WaitForMainWindow();
        ASSERT_NE(main, nullptr);
        EXPECT_TRUE(orvello.WaitForLogContaining(L"Engine failed to load.", 20s));
        // The rest of the program is there: the commands dialog opens.
        Click(main, kEditCommandsId);
        HWND commands = orvello.WaitForDialog(L"Commands");
        ASSERT_NE(commands, nullptr);
        PostMessageW(commands, WM_COMMAND, IDCANCEL, 0);
    }
}

TEST_F(OrvelloProgramTest, ReloadWithoutAModelSaysWhy) {
    test::OrvelloProcess orvello(WithoutModel());
    HWND main = orvello.WaitForMainWindow();
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(orvello.WaitForLogContaining(L"Engine failed to load.", 20s));
    Click(main, kReloadEngineId);
    EXPECT_TRUE(orvello.WaitForLogContaining(
        L"Engine failed to load.\r\nEngine load failed: Failed to open file: ", 20s))
        << "log: " << Narrow(orvello.ControlText(kLogId));
    // The folder holds only the command sound: the model's first file is what is missing.
    EXPECT_TRUE(orvello.ControlText(kLogId).ends_with(L"\\models\\config.json\r\n"));
}

TEST_F(OrvelloProgramTest, ExitAsksFirstAndNoKeepsOrvelloRunning) {
    test::OrvelloProcess orvello(WithModel());
    HWND main = orvello.WaitForMainWindow();
    ASSERT_NE(main, nullptr);

    Click(main, kExitId);
    HWND question = orvello.WaitForMessageBox();
    ASSERT_NE(question, nullptr);
    EXPECT_EQ(test::MessageBoxText(question), L"Exit Orvello?");
    PostMessageW(question, WM_COMMAND, IDNO, 0);
    EXPECT_TRUE(test::PumpMessagesUntil([&] { return !IsWindow(question); }, 5s));
    EXPECT_FALSE(orvello.WaitForExit(500ms).has_value());

    Click(main, kExitId);
    question = orvello.WaitForMessageBox();
    ASSERT_NE(question, nullptr);
    PostMessageW(question, WM_COMMAND, IDYES, 0);
    EXPECT_EQ(orvello.WaitForExit(10s), DWORD(0));
}

TEST_F(OrvelloProgramTest, AnUnreadableCommandFileIsReportedAndKept) {
    CommandFileScope commandFile;
    const std::string damaged = "[{\"phrase\": \"undo\", ";
    {
        HANDLE file = CreateFileW(GetCommandFilePath().c_str(), GENERIC_WRITE, 0, nullptr,
                                  CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        WriteFile(file, damaged.data(), DWORD(damaged.size()), &written, nullptr);
        CloseHandle(file);
    }
    test::OrvelloProcess orvello(WithModel());
    HWND message = orvello.WaitForMessageBox();
    ASSERT_NE(message, nullptr);
    EXPECT_EQ(test::MessageBoxText(message), ToWideString(kCorruptedCommandFileMessage) +
                                                 L" Before that, a copy of it will be kept as " +
                                                 BackupPathFor(GetCommandFilePath(), 0) + L".");
    PostMessageW(message, WM_COMMAND, IDOK, 0);
    ASSERT_NE(orvello.WaitForMainWindow(), nullptr);
    EXPECT_TRUE(orvello.WaitForLogContaining(L"Engine ready.", 20s));

    HANDLE file = CreateFileW(GetCommandFilePath().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    std::string kept(256, '\0');
    DWORD read = 0;
    ReadFile(file, kept.data(), DWORD(kept.size()), &read, nullptr);
    CloseHandle(file);
    kept.resize(read);
    EXPECT_EQ(kept, damaged);
}

TEST_F(OrvelloProgramTest, TheCommandsDialogChangesNothingUntilOk) {
    CommandFileScope commandFile;
    test::OrvelloProcess orvello(WithModel());
    HWND main = ReadyMainWindow(orvello);
    ASSERT_NE(main, nullptr);

    Click(main, kEditCommandsId);
    HWND dialog = orvello.WaitForDialog(L"Commands");
    ASSERT_NE(dialog, nullptr);
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(test::PumpMessagesUntil([&] { return !IsWindow(dialog); }, 5s));
    EXPECT_EQ(GetFileAttributesW(GetCommandFilePath().c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_FALSE(test::ReadSettingInt(L"CmdTriggerMask").has_value());

    Click(main, kEditCommandsId);
    dialog = orvello.WaitForDialog(L"Commands");
    ASSERT_NE(dialog, nullptr);
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(test::PumpMessagesUntil([&] { return !IsWindow(dialog); }, 5s));
    // OK saves the list (empty here) and the command trigger at once.
    EXPECT_TRUE(test::PumpMessagesUntil(
        [&] { return GetFileAttributesW(GetCommandFilePath().c_str()) != INVALID_FILE_ATTRIBUTES; },
        5s));
    EXPECT_EQ(test::ReadSettingInt(L"CmdTriggerMask"), DWORD(0x28));
}

TEST_F(OrvelloProgramTest, ARefusedSaveOfTheCommandsSaysWhatWindowsReported) {
    CommandFileScope commandFile;
    CommandStore empty;
    ASSERT_TRUE(SaveCommands(empty));
    const std::wstring path = GetCommandFilePath();
    ASSERT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY));
    test::OrvelloProcess orvello(WithoutModel());
    HWND main = orvello.WaitForMainWindow();
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(orvello.WaitForLogContaining(L"Engine failed to load.", 20s));

    Click(main, kEditCommandsId);
    HWND dialog = orvello.WaitForDialog(L"Commands");
    ASSERT_NE(dialog, nullptr);
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    HWND message = orvello.WaitForMessageBox();
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    ASSERT_NE(message, nullptr);
    wchar_t reason[256] = {};
    FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                   ERROR_ACCESS_DENIED, 0, reason, 256, nullptr);
    std::wstring windowsText = reason;
    while (!windowsText.empty() && std::iswspace(windowsText.back())) windowsText.pop_back();
    EXPECT_EQ(test::MessageBoxText(message),
              L"Commands could not be saved.\n\nCheck that the Documents\\Orvello folder is "
              L"accessible.\n\nWindows reported: " +
                  windowsText);
    PostMessageW(message, WM_COMMAND, IDOK, 0);
}

TEST_F(OrvelloProgramTest, OptionCheckBoxesAreSavedAtOnce) {
    test::OrvelloProcess orvello(WithModel());
    // The window exists before its initialisation has set the check boxes; the first log text
    // comes at its end.
    HWND main = ReadyMainWindow(orvello);
    ASSERT_NE(main, nullptr);
    SendMessageW(GetDlgItem(main, kAddNewLineId), BM_CLICK, 0, 0);
    EXPECT_EQ(test::ReadSettingInt(L"AppendSpace"), DWORD(1));
    EXPECT_EQ(test::ReadSettingInt(L"AppendNewline"), DWORD(1));
    SendMessageW(GetDlgItem(main, kUsePasteId), BM_CLICK, 0, 0);
    EXPECT_EQ(test::ReadSettingInt(L"UsePaste"), DWORD(1));
    SendMessageW(GetDlgItem(main, kRestoreClipboardId), BM_CLICK, 0, 0);
    EXPECT_EQ(test::ReadSettingInt(L"RestoreClipboard"), DWORD(0));
    SendMessageW(GetDlgItem(main, kShowTextWhileSpeakingId), BM_CLICK, 0, 0);
    EXPECT_EQ(test::ReadSettingInt(L"ShowTextWhileSpeaking"), DWORD(0));
    SendMessageW(GetDlgItem(main, kEnableDspId), BM_CLICK, 0, 0);
    EXPECT_EQ(test::ReadSettingInt(L"DspEnabled"), DWORD(0));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(main, 1011)));  // the noise gate slider
}

// "Faster Engine Start" (on at first) keeps the prepared model in the user's local application
// data, written once the engine is ready. Turned off, the cache goes with the next load, which releases the engine that maps it
// first and then prepares the model as the runtime always does.
TEST_F(OrvelloProgramTest, TurningFasterEngineStartOffDeletesTheModelCache) {
    const fs::path cache = DefaultModelCacheFolder();
    test::OrvelloProcess orvello(WithModel());
    HWND main = ReadyMainWindow(orvello);
    ASSERT_NE(main, nullptr);
    EXPECT_TRUE(orvello.IsChecked(kFasterEngineStartId));
    EXPECT_TRUE(test::PumpMessagesUntil(
        [&] { return fs::exists(cache / "encoder" / "manifest.json"); }, 30s))
        << cache.string();

    SendMessageW(GetDlgItem(main, kFasterEngineStartId), BM_CLICK, 0, 0);
    EXPECT_EQ(test::ReadSettingInt(L"FasterEngineStart"), DWORD(0));
    EXPECT_TRUE(orvello.WaitForLogContaining(L"deleted when the engine is next loaded", 5s));
    Click(main, kReloadEngineId);
    EXPECT_TRUE(test::PumpMessagesUntil([&] { return !fs::exists(cache); }, 30s));
    EXPECT_TRUE(orvello.WaitForLogContaining(L"Model: ", 30s));
}

TEST_F(OrvelloProgramTest, SavedSettingsAreShownAtTheNextStart) {
    test::WriteSettingInt(L"NoiseGate", 250);  // out of range: shown as 100, kept as stored
    test::WriteSettingInt(L"LowCutHz", 150);
    test::WriteSettingInt(L"TriggerMask", 0x28);
    test::WriteSettingInt(L"UsePaste", 7);
    test::OrvelloProcess orvello(WithModel());
    ASSERT_NE(ReadyMainWindow(orvello), nullptr);
    EXPECT_EQ(orvello.ControlText(1013), L"Noise Gate: 100");
    EXPECT_EQ(orvello.ControlText(1014), L"Low-Cut: 150 Hz");
    EXPECT_EQ(orvello.ControlText(kTriggerTextId), L"Right Ctrl + Right Alt");
    EXPECT_TRUE(orvello.IsChecked(kUsePasteId));
    EXPECT_EQ(test::ReadSettingInt(L"NoiseGate"), DWORD(250));
}

TEST_F(OrvelloProgramTest, ASecondStartOnlyBringsTheRunningOrvelloBack) {
    test::OrvelloProcess first(WithModel());
    HWND main = ReadyMainWindow(first);
    ASSERT_NE(main, nullptr);
    // The log's first text comes before the dialog shows its window; a hide before that show
    // would be undone by it.
    ASSERT_TRUE(test::PumpMessagesUntil([&] { return IsWindowVisible(main) != FALSE; }, 5s));
    // "Hide" sends it to the tray.
    SendMessageW(main, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    ASSERT_TRUE(test::PumpMessagesUntil([&] { return !IsWindowVisible(main); }, 5s));

    test::OrvelloProcess second(WithModel());
    ASSERT_TRUE(second.Started());
    EXPECT_EQ(second.WaitForExit(20s), DWORD(0));
    EXPECT_TRUE(test::PumpMessagesUntil([&] { return IsWindowVisible(main) != FALSE; }, 5s));
    EXPECT_FALSE(first.WaitForExit(0ms).has_value());
}

TEST_F(OrvelloProgramTest, TrayExitEndsTheProgramAndANewOneCanStart) {
    {
        test::OrvelloProcess orvello(WithModel());
        HWND main = orvello.WaitForMainWindow();
        ASSERT_NE(main, nullptr);
        PostMessageW(main, WM_COMMAND, kTrayExitCommand, 0);
        EXPECT_EQ(orvello.WaitForExit(10s), DWORD(0));
    }
    test::OrvelloProcess next(WithModel());
    HWND main = next.WaitForMainWindow();
    ASSERT_NE(main, nullptr);
    EXPECT_TRUE(test::PumpMessagesUntil([&] { return IsWindowVisible(main) != FALSE; }, 5s));
}

TEST_F(OrvelloProgramTest, AMinimizedStartNeverShowsTheWindow) {
    test::WriteSettingInt(L"StartMinimized", 1);
    test::OrvelloProcess orvello(WithModel());
    HWND main = orvello.WaitForMainWindow();
    ASSERT_NE(main, nullptr);
    bool everVisible = false;
    test::PumpMessagesUntil(
        [&] {
            everVisible = everVisible || IsWindowVisible(main);
            return false;
        },
        2s);
    EXPECT_FALSE(everVisible);
    // A second start restores it.
    test::OrvelloProcess second(WithModel());
    EXPECT_EQ(second.WaitForExit(20s), DWORD(0));
    EXPECT_TRUE(test::PumpMessagesUntil([&] { return IsWindowVisible(main) != FALSE; }, 5s));
}

TEST_F(OrvelloProgramTest, PushToTalkTypesTheSpeechIntoTheWindowInFront) {
    test::WriteSettingText(L"InputDeviceId", L"orvellomic");  // any letter case selects it
    const std::string wav = HelloWorldWav();
    test::OrvelloProcess orvello(WithModel());
    ASSERT_NE(ReadyMainWindow(orvello), nullptr);

    test::TypingTarget target;
    ASSERT_TRUE(target.Focus());
    test::PushToTalk({test::keycode::kRightCtrl}, wav);
    EXPECT_TRUE(test::PumpMessagesUntil([&] { return target.typed == L"hello world "; }, 30s))
        << "typed: \"" << Narrow(target.typed) << "\"";
}

// With ORVELLO_OVERLAY_CAPTURE naming a .bmp file, the overlay as it is on the screen goes there
// (the README's picture of it).
void CaptureWindowIfAsked(HWND window) {
    const char* path = std::getenv("ORVELLO_OVERLAY_CAPTURE");
    RECT rect{};
    if (path == nullptr || !GetWindowRect(window, &rect)) return;
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB};
    std::vector<std::uint8_t> pixels(std::size_t(width) * height * 4);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    SelectObject(memory, old);
    GetDIBits(memory, bitmap, 0, UINT(height), pixels.data(), &info, DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    const BITMAPFILEHEADER header{0x4D42, DWORD(54 + pixels.size()), 0, 0, 54};
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(&header), sizeof header);
    file.write(reinterpret_cast<const char*>(&info.bmiHeader), sizeof info.bmiHeader);
    file.write(reinterpret_cast<const char*>(pixels.data()), std::streamsize(pixels.size()));
}

// While the trigger is held after the speech, the overlay shows what was heard (its window's
// title carries the text too); nothing is typed before the release.
TEST_F(OrvelloProgramTest, TheOverlayShowsTheWordsWhileTheTriggerIsHeld) {
    test::WriteSettingText(L"InputDeviceId", L"OrvelloMic");
    const std::string wav = HelloWorldWav();
    test::OrvelloProcess orvello(WithModel());
    ASSERT_NE(ReadyMainWindow(orvello), nullptr);
    test::TypingTarget target;
    ASSERT_TRUE(target.Focus());
    test::PushToTalk({test::keycode::kRightCtrl}, wav, test::keycode::kRightCtrl);
    HWND overlay = FindWindowW(L"OrvelloOverlayWindow", nullptr);
    EXPECT_TRUE(
        test::PumpMessagesUntil([&] { return test::WindowText(overlay) == L"hello world"; }, 20s))
        << Narrow(test::WindowText(overlay));
    EXPECT_TRUE(IsWindowVisible(overlay));
    CaptureWindowIfAsked(overlay);
    EXPECT_TRUE(target.typed.empty()) << "typed: \"" << Narrow(target.typed) << "\"";
    EXPECT_TRUE(test::KeyUp(test::keycode::kRightCtrl));
    EXPECT_TRUE(test::PumpMessagesUntil([&] { return target.typed == L"hello world "; }, 30s))
        << "typed: \"" << Narrow(target.typed) << "\"";
}

// Trigger mode Auto: a tap of Right Ctrl starts a recording that goes on with the key up, the
// next tap (or the tray menu's "Stop Recording", or two minutes of quiet) ends it, and neither
// tap is a recording of its own; a hold still records while held.
TEST_F(OrvelloProgramTest, AutoModeATapStartsAndATapEndsAHandsFreeDictation) {
    test::WriteSettingText(L"InputDeviceId", L"OrvelloMic");
    test::WriteSettingInt(L"TriggerMode", 1);
    const std::string wav = HelloWorldWav();
    test::OrvelloProcess orvello(WithModel());
    HWND main = ReadyMainWindow(orvello);
    ASSERT_NE(main, nullptr);
    test::TypingTarget target;
    ASSERT_TRUE(target.Focus());
    // The text typed, and the service ready for the next recording.
    const auto typedAfterwards = [&](const std::wstring& expected) {
        const std::size_t dictations = CountOf(expected, L"hello world ");
        return test::PumpMessagesUntil(
            [&] {
                return target.typed == expected &&
                       CountOf(orvello.ControlText(kLogId), L"[Ready]") == dictations;
            },
            30s);
    };

    test::TapAndSpeak(test::keycode::kRightCtrl, wav);
    EXPECT_TRUE(orvello.WaitForLogContaining(L"[Hands-free \u2014 tap Right Ctrl to stop]\r\n", 1s))
        << "log: " << Narrow(orvello.ControlText(kLogId));
    EXPECT_TRUE(target.typed.empty()) << "typed before the second tap";
    ASSERT_TRUE(test::KeyTap(test::keycode::kRightCtrl));
    EXPECT_TRUE(typedAfterwards(L"hello world ")) << "typed: \"" << Narrow(target.typed) << "\"";
    const std::wstring log = orvello.ControlText(kLogId);
    EXPECT_EQ(CountOf(log, L"[Recording...]"), 1u) << Narrow(log);
    EXPECT_EQ(CountOf(log, L"[Transcribing...]"), 1u) << Narrow(log);

    test::TapAndSpeak(test::keycode::kRightCtrl, wav);
    PostMessageW(main, WM_COMMAND, kTrayStopRecordingCommand, 0);
    EXPECT_TRUE(typedAfterwards(L"hello world hello world "))
        << "typed: \"" << Narrow(target.typed) << "\"";

    // The service's report of two minutes of quiet, as its recording thread posts it.
    test::TapAndSpeak(test::keycode::kRightCtrl, wav);
    PostMessageW(main, kLongQuietMessage, 0, 0);
    EXPECT_TRUE(typedAfterwards(L"hello world hello world hello world "))
        << "typed: \"" << Narrow(target.typed) << "\"";
    EXPECT_TRUE(orvello.WaitForLogContaining(
        L"[Hands-free recording stopped after 2 minutes of quiet]\r\n", 1s));

    // A hold is still a hold: its release ends the recording (the key times are the keys').
    test::PushToTalk({test::keycode::kRightCtrl}, wav);
    EXPECT_TRUE(typedAfterwards(L"hello world hello world hello world hello world "))
        << "typed: \"" << Narrow(target.typed) << "\"";
}

TEST_F(OrvelloProgramTest, WithOrvelloInFrontTheResultIsOnlyLogged) {
    test::WriteSettingText(L"InputDeviceId", L"OrvelloMic");
    const std::string wav = HelloWorldWav();
    test::OrvelloProcess orvello(WithModel());
    HWND main = ReadyMainWindow(orvello);
    ASSERT_NE(main, nullptr);
    test::TypingTarget target;

    ASSERT_TRUE(test::FocusWindow(main));
    test::PushToTalk({test::keycode::kRightCtrl}, wav);
    // The default command trigger differs from the dictation trigger: split mode.
    ASSERT_TRUE(orvello.WaitForLogContaining(L"[Main trigger | Text: hello world]\r\n", 30s))
        << "log: " << Narrow(orvello.ControlText(kLogId));
    EXPECT_TRUE(orvello.WaitForLogContaining(L"[Ready]\r\n", 5s));
    EXPECT_EQ(orvello.ControlText(kLogId).find(L"hello world "), std::wstring::npos);
    EXPECT_TRUE(target.typed.empty());
}

// A dictation held back because Orvello's own window was in front is not lost: the History
// dialog lists it and copies it, and "Keep History Between Sessions" keeps it in the history file
// until the box is unchecked again.
TEST_F(OrvelloProgramTest, TheHistoryListsAHeldBackDictationAndCopiesIt) {
    test::WriteSettingText(L"InputDeviceId", L"OrvelloMic");
    HistoryFileScope historyFile;
    const std::string wav = HelloWorldWav();
    test::OrvelloProcess orvello(WithModel());
    HWND main = ReadyMainWindow(orvello);
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(test::FocusWindow(main));
    test::PushToTalk({test::keycode::kRightCtrl}, wav);
    ASSERT_TRUE(orvello.WaitForLogContaining(L"[Main trigger | Text: hello world]\r\n", 30s))
        << "log: " << Narrow(orvello.ControlText(kLogId));

    Click(main, kHistoryId);
    HWND dialog = orvello.WaitForDialog(L"History");
    ASSERT_NE(dialog, nullptr);
    HWND table = GetDlgItem(dialog, kHistoryTableId);
    ASSERT_EQ(SendMessageW(table, LB_GETCOUNT, 0, 0), 1);
    SendMessageW(table, LB_SETCURSEL, 0, 0);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(kHistoryTableId, LBN_SELCHANGE), LPARAM(table));
    EXPECT_EQ(test::WindowText(GetDlgItem(dialog, kHistoryTextId)), L"hello world");
    ASSERT_EQ(WriteClipboardText(L"copied before"), ClipboardWriteResult::Placed);
    SendMessageW(GetDlgItem(dialog, kHistoryCopyId), BM_CLICK, 0, 0);
    EXPECT_EQ(ReadClipboardText(100), L"hello world");

    HWND keep = GetDlgItem(dialog, kKeepHistoryId);
    EXPECT_EQ(SendMessageW(keep, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_TRUE(NameIsFree(historyFile.Path()));
    SendMessageW(keep, BM_CLICK, 0, 0);
    EXPECT_EQ(test::ReadSettingInt(L"KeepHistory"), DWORD(1));
    const auto kept = ParseHistoryFile(ReadWholeFile(historyFile.Path()).value_or(""));
    ASSERT_TRUE(kept.has_value());
    ASSERT_EQ(kept->size(), 1u);
    EXPECT_EQ(kept->front().outcome, ResultOutcome::HeldBack);
    EXPECT_EQ(kept->front().text, u"hello world");
    SendMessageW(keep, BM_CLICK, 0, 0);
    EXPECT_EQ(test::ReadSettingInt(L"KeepHistory"), DWORD(0));
    EXPECT_TRUE(NameIsFree(historyFile.Path()));
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(test::PumpMessagesUntil([&] { return !IsWindow(dialog); }, 5s));
}

// With "Keep History Between Sessions" on, a history file Orvello cannot read is renamed aside at
// start-up and the log says where; the program starts as always.
TEST_F(OrvelloProgramTest, ADamagedHistoryFileIsSetAsideAndNamedInTheLog) {
    test::WriteSettingInt(L"KeepHistory", 1);
    HistoryFileScope historyFile;
    const std::wstring aside = DamagedHistoryPathFor(historyFile.Path(), 0);
    DeleteFileW(aside.c_str());  // left by an earlier run that failed
    ASSERT_TRUE(WriteFileByRename(historyFile.Path(), "[{\"time\": 1, ", 0));
    test::OrvelloProcess orvello(WithModel());
    ASSERT_NE(ReadyMainWindow(orvello), nullptr);
    EXPECT_TRUE(orvello.WaitForLogContaining(L"; it was set aside as " + aside, 5s))
        << "log: " << Narrow(orvello.ControlText(kLogId));
    EXPECT_EQ(ReadWholeFile(aside), "[{\"time\": 1, ");
    EXPECT_TRUE(NameIsFree(historyFile.Path()));
    DeleteFileW(aside.c_str());
}

TEST_F(OrvelloProgramTest, TheCommandTriggerRunsAVoiceCommand) {
    test::WriteSettingText(L"InputDeviceId", L"OrvelloMic");
    CommandFileScope commandFile;
    CommandStore store;
    VoiceCommand greeting;
    greeting.phrase = u"open browser|browser";
    greeting.type = ActionType::InsertText;
    greeting.text_body = u"Browser opened";
    store.ReplaceCommands({greeting});
    ASSERT_TRUE(SaveCommands(store));
    const std::string wav = SpeechWav("open browser", "program-open-browser.wav");

    test::OrvelloProcess orvello(WithModel());
    ASSERT_NE(ReadyMainWindow(orvello), nullptr);
    test::TypingTarget target;
    ASSERT_TRUE(target.Focus());
    // Right Alt first, so that Right Ctrl completes the command trigger and never holds the
    // dictation trigger alone.
    test::PushToTalk({test::keycode::kRightAlt, test::keycode::kRightCtrl}, wav);
    EXPECT_TRUE(test::PumpMessagesUntil([&] { return target.typed == L"Browser opened"; }, 30s))
        << "typed: \"" << Narrow(target.typed) << "\"";
}

// Adds one replacement in the replacements dialog and closes the dialog with `ending`.
void AddReplacementInTheDialog(test::OrvelloProcess& orvello, const wchar_t* written,
                               const wchar_t* typed, int ending) {
    HWND dialog = orvello.WaitForDialog(L"Replacements");
    ASSERT_NE(dialog, nullptr);
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(1081, BN_CLICKED),
                 LPARAM(GetDlgItem(dialog, 1081)));
    HWND editor = orvello.WaitForDialog(L"Edit Replacement");
    ASSERT_NE(editor, nullptr);
    SendMessageW(GetDlgItem(editor, 1084), WM_SETTEXT, 0, LPARAM(written));
    SendMessageW(GetDlgItem(editor, 1085), WM_SETTEXT, 0, LPARAM(typed));
    PostMessageW(editor, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(test::PumpMessagesUntil([&] { return !IsWindow(editor); }, 5s));
    PostMessageW(dialog, WM_COMMAND, ending, 0);
    ASSERT_TRUE(test::PumpMessagesUntil([&] { return !IsWindow(dialog); }, 5s));
}

// Cancel forgets a replacement added in the dialog; OK saves it at once, and it changes the next
// dictation before "Add Space": "hello world" is typed as "hello Orvello ".
TEST_F(OrvelloProgramTest, AReplacementMadeInItsDialogChangesTheDictatedText) {
    test::WriteSettingText(L"InputDeviceId", L"OrvelloMic");
    CommandFileScope replacementsFile(GetReplacementsFilePath());
    const std::string wav = HelloWorldWav();
    test::OrvelloProcess orvello(WithModel());
    HWND main = ReadyMainWindow(orvello);
    ASSERT_NE(main, nullptr);

    Click(main, kEditReplacementsId);
    ASSERT_NO_FATAL_FAILURE(AddReplacementInTheDialog(orvello, L"world", L"Earth", IDCANCEL));
    Click(main, kEditReplacementsId);
    ASSERT_NO_FATAL_FAILURE(AddReplacementInTheDialog(orvello, L"World", L"Orvello", IDOK));
    ReplacementStore saved;
    EXPECT_TRUE(test::PumpMessagesUntil(
        [&] {
            LoadReplacements(saved);
            return !saved.Replacements().empty();
        },
        5s));
    EXPECT_EQ(saved.Replacements(), (std::vector<Replacement>{{u"World", u"Orvello"}}));

    test::TypingTarget target;
    ASSERT_TRUE(target.Focus());
    test::PushToTalk({test::keycode::kRightCtrl}, wav);
    EXPECT_TRUE(test::PumpMessagesUntil([&] { return target.typed == L"hello Orvello "; }, 30s))
        << "typed: \"" << Narrow(target.typed) << "\"";
}

// "Use Paste (fallback)" sends the dictation through the clipboard; afterwards the clipboard holds
// what the user had copied again, unless another program has put something there meanwhile.
TEST_F(OrvelloProgramTest, APasteLeavesTheClipboardAsTheUserHadIt) {
    test::WriteSettingText(L"InputDeviceId", L"OrvelloMic");
    test::WriteSettingInt(L"UsePaste", 1);
    const std::string wav = HelloWorldWav();
    test::OrvelloProcess orvello(WithModel());
    ASSERT_NE(ReadyMainWindow(orvello), nullptr);
    for (const std::wstring copiedMeanwhile : {L"", L"copied meanwhile"}) {
        SCOPED_TRACE(copiedMeanwhile.empty() ? "nothing copied meanwhile" : "copied meanwhile");
        ASSERT_TRUE(test::SetClipboardTextDirect(L"the user's own text"));
        PastingTarget target(copiedMeanwhile);
        ASSERT_TRUE(target.Focus());
        test::PushToTalk({test::keycode::kRightCtrl}, wav);
        EXPECT_TRUE(test::PumpMessagesUntil([&] { return !target.pasted.empty(); }, 30s));
        EXPECT_EQ(target.pasted, L"hello world ");
        // Well past the half second after which Orvello puts the user's text back.
        test::PumpMessagesFor(1500ms);
        EXPECT_EQ(test::ClipboardTextDirect(),
                  copiedMeanwhile.empty() ? L"the user's own text" : copiedMeanwhile);
    }
}

// "Open Model Folder" in the tray menu shows the folder Orvello loads its model from, made first
// when it is missing.
TEST_F(OrvelloProgramTest, OpenModelFolderMakesAndShowsTheFolderOrvelloLoadsFrom) {
    const std::wstring models = WithoutModel() + L"\\models";
    const std::wstring aside = models + L"-aside";
    ASSERT_TRUE(MoveFileW(models.c_str(), aside.c_str()));
    test::OrvelloProcess orvello(WithoutModel());
    HWND main = orvello.WaitForMainWindow();
    ASSERT_NE(main, nullptr);
    EXPECT_TRUE(orvello.WaitForLogContaining(L"Engine failed to load.", 20s));
    PostMessageW(main, WM_COMMAND, kTrayOpenModelFolderCommand, 0);
    EXPECT_TRUE(test::PumpMessagesUntil(
        [&] { return GetFileAttributesW(models.c_str()) != INVALID_FILE_ATTRIBUTES; }, 10s));
    HWND folderWindow = nullptr;
    EXPECT_TRUE(test::PumpMessagesUntil(
        [&] { return (folderWindow = FindWindowW(nullptr, L"models")) != nullptr; }, 20s));
    if (folderWindow) PostMessageW(folderWindow, WM_CLOSE, 0, 0);
    RemoveDirectoryW(models.c_str());
    EXPECT_TRUE(MoveFileW(aside.c_str(), models.c_str()));
}

// People lift the keys of a two-key trigger one after the other. The command's chord waits for
// the last one (Orvello's window does not answer meanwhile), or it would reach the window with
// that key: Ctrl+A instead of A.
TEST_F(OrvelloProgramTest, ACommandsChordWaitsForATriggerKeyStillHeld) {
    test::WriteSettingText(L"InputDeviceId", L"OrvelloMic");
    CommandFileScope commandFile;
    CommandStore store;
    VoiceCommand pressA;
    pressA.phrase = u"open browser";
    pressA.type = ActionType::KeyChord;
    pressA.steps = {KeyStep{.vk = 'A'}};
    store.ReplaceCommands({pressA});
    ASSERT_TRUE(SaveCommands(store));
    const std::string wav = SpeechWav("open browser", "program-open-browser.wav");

    test::OrvelloProcess orvello(WithModel());
    HWND main = ReadyMainWindow(orvello);
    ASSERT_NE(main, nullptr);
    test::TypingTarget target;
    ASSERT_TRUE(target.Focus());
    test::PushToTalk({test::keycode::kRightAlt, test::keycode::kRightCtrl}, wav,
                     test::keycode::kRightCtrl);
    const auto answers = [main] {
        DWORD_PTR result = 0;
        return SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 100, &result) != 0;
    };
    EXPECT_TRUE(test::PumpMessagesUntil([&] { return !answers(); }, 30s));
    EXPECT_TRUE(target.typed.empty()) << "typed: \"" << Narrow(target.typed) << "\"";
    EXPECT_TRUE(test::KeyUp(test::keycode::kRightCtrl));
    EXPECT_TRUE(test::PumpMessagesUntil([&] { return target.typed == L"a"; }, 30s))
        << "typed: \"" << Narrow(target.typed) << "\"";
    EXPECT_EQ(orvello.ControlText(kLogId).find(L"still held"), std::wstring::npos);
}

// An Orvello running elevated holds a mutex that this user may not open; a new start must still
// see that Orvello runs, and end without a window.
TEST_F(OrvelloProgramTest, AStartWhileAnElevatedOrvelloRunsEndsAtOnce) {
    PSECURITY_DESCRIPTOR onlySystem = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(
        L"D:(A;;GA;;;SY)", SDDL_REVISION_1, &onlySystem, nullptr));
    SECURITY_ATTRIBUTES attributes{sizeof attributes, onlySystem, FALSE};
    HANDLE elevatedMutex = CreateMutexW(&attributes, TRUE, L"Orvello_SingleInstance");
    LocalFree(onlySystem);
    ASSERT_NE(elevatedMutex, nullptr);

    test::OrvelloProcess second(WithModel());
    ASSERT_TRUE(second.Started());
    EXPECT_EQ(second.WaitForExit(20s), DWORD(0));
    CloseHandle(elevatedMutex);
}

// The log edit control stops taking text at its limit; a full log drops its oldest whole lines
// to take new ones.
TEST_F(OrvelloProgramTest, AFullLogDropsItsOldestLinesForNewOnes) {
    test::OrvelloProcess orvello(WithModel());
    HWND main = ReadyMainWindow(orvello);
    ASSERT_NE(main, nullptr);
    HWND log = GetDlgItem(main, kLogId);
    const auto limitChars = std::size_t(SendMessageW(log, EM_GETLIMITTEXT, 0, 0));
    const std::wstring oldLine = L"an old line\r\n";
    std::wstring full;
    while (full.size() + oldLine.size() <= limitChars) full += oldLine;
    full.resize(limitChars - 3, L'x');  // no room left for a line
    SendMessageW(log, WM_SETTEXT, 0, LPARAM(full.c_str()));

    Click(main, kReloadEngineId);
    const auto appended = [&] {
        return orvello.ControlText(kLogId).ends_with(L"xxxEngine ready.\r\n" +
                                                     DemoModelLine(WithModel()));
    };
    EXPECT_TRUE(test::PumpMessagesUntil(appended, 20s));
    const std::wstring trimmed = orvello.ControlText(kLogId);
    EXPECT_TRUE(trimmed.starts_with(oldLine));
    EXPECT_LE(trimmed.size(), limitChars);
}

// While the commands dialog captures its trigger it is the raw input target; a resume from
// sleep must give the keyboard back to it, not to the main window.
TEST_F(OrvelloProgramTest, AResumeDuringTheCommandsDialogsCaptureLeavesItTheKeyboard) {
    CommandFileScope commandFile;
    test::OrvelloProcess orvello(WithModel());
    HWND main = orvello.WaitForMainWindow();
    ASSERT_NE(main, nullptr);
    Click(main, kEditCommandsId);
    HWND dialog = orvello.WaitForDialog(L"Commands");
    ASSERT_NE(dialog, nullptr);
    HWND triggerText = GetDlgItem(dialog, kTriggerTextId);
    Click(dialog, kSelectTriggerId);
    ASSERT_TRUE(test::PumpMessagesUntil(
        [&] { return test::WindowText(triggerText) == L"Press Ctrl / Alt / Shift combination..."; },
        5s));

    SendMessageW(main, WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
    ASSERT_TRUE(test::FocusWindow(dialog));
    ASSERT_TRUE(test::KeyDown(test::keycode::kRightShift));
    ASSERT_TRUE(test::KeyUp(test::keycode::kRightShift));
    EXPECT_TRUE(test::PumpMessagesUntil(
        [&] { return test::WindowText(triggerText) == L"Right Shift"; }, 5s))
        << "the trigger text reads \"" << Narrow(test::WindowText(triggerText)) << "\"";
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(test::PumpMessagesUntil([&] { return !IsWindow(dialog); }, 5s));
}

// The commands dialog takes the keyboard while it runs; whichever way it closes, the main window
// has it back at once and the dictation trigger starts a recording again.
TEST_F(OrvelloProgramTest, AfterTheCommandsDialogTheDictationTriggerWorksAtOnce) {
    test::WriteSettingText(L"InputDeviceId", L"OrvelloMic");
    CommandFileScope commandFile;
    test::OrvelloProcess orvello(WithModel());
    HWND main = ReadyMainWindow(orvello);
    ASSERT_NE(main, nullptr);
    const auto recordingsEnded = [&] {
        const std::wstring log = orvello.ControlText(kLogId);
        return CountOf(log, L"[Recording...]") == CountOf(log, L"[Ready]") +
                                                      CountOf(log, L"[no speech recognized]") +
                                                      CountOf(log, L"[No audio captured]");
    };
    for (const int ending : {IDOK, IDCANCEL}) {
        Click(main, kEditCommandsId);
        HWND dialog = orvello.WaitForDialog(L"Commands");
        ASSERT_NE(dialog, nullptr);
        PostMessageW(dialog, WM_COMMAND, ending, 0);
        ASSERT_TRUE(test::PumpMessagesUntil([&] { return !IsWindow(dialog); }, 5s));

        const std::size_t recordings = CountOf(orvello.ControlText(kLogId), L"[Recording...]");
        ASSERT_TRUE(test::FocusWindow(main));
        ASSERT_TRUE(test::KeyDown(test::keycode::kRightCtrl));
        EXPECT_TRUE(test::PumpMessagesUntil(
            [&] { return CountOf(orvello.ControlText(kLogId), L"[Recording...]") > recordings; },
            10s))
            << (ending == IDOK ? "after OK" : "after Cancel");
        ASSERT_TRUE(test::KeyUp(test::keycode::kRightCtrl));
        ASSERT_TRUE(test::PumpMessagesUntil(recordingsEnded, 30s));
    }
}

// A slider move and "Default" show their values and are saved at once.
TEST_F(OrvelloProgramTest, DspSliderMovesAndDefaultAreShownAndSavedAtOnce) {
    test::OrvelloProcess orvello(WithModel());
    HWND main = ReadyMainWindow(orvello);
    ASSERT_NE(main, nullptr);
    HWND gate = GetDlgItem(main, kNoiseGateSliderId);
    HWND lowCut = GetDlgItem(main, kLowCutSliderId);
    for (const auto& [slider, position] : {std::pair{gate, 40}, std::pair{lowCut, 150}}) {
        SendMessageW(slider, TBM_SETPOS, TRUE, position);
        SendMessageW(main, WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, position), LPARAM(slider));
    }
    EXPECT_EQ(orvello.ControlText(kNoiseGateLabelId), L"Noise Gate: 40");
    EXPECT_EQ(orvello.ControlText(kLowCutLabelId), L"Low-Cut: 150 Hz");
    EXPECT_EQ(test::ReadSettingInt(L"NoiseGate"), DWORD(40));
    EXPECT_EQ(test::ReadSettingInt(L"LowCutHz"), DWORD(150));

    SendMessageW(main, WM_COMMAND, MAKEWPARAM(kDspDefaultId, BN_CLICKED),
                 LPARAM(GetDlgItem(main, kDspDefaultId)));
    EXPECT_EQ(orvello.ControlText(kNoiseGateLabelId), L"Noise Gate: 10");
    EXPECT_EQ(orvello.ControlText(kLowCutLabelId), L"Low-Cut: 90 Hz");
    EXPECT_EQ(SendMessageW(gate, TBM_GETPOS, 0, 0), 10);
    EXPECT_EQ(SendMessageW(lowCut, TBM_GETPOS, 0, 0), 90);
    EXPECT_EQ(test::ReadSettingInt(L"NoiseGate"), DWORD(10));
    EXPECT_EQ(test::ReadSettingInt(L"LowCutHz"), DWORD(90));
}

// The device list is rebuilt when devices come or go; it then selects the saved device again, so
// only a choice confirmed with "Use Selected Input" lasts, and recordings use it.
TEST_F(OrvelloProgramTest, OnlyTheInputChosenWithUseSelectedInputOutlastsADeviceChange) {
    const std::vector<InputDeviceEntry> devices = ListInputDevices();
    const auto named = [&](bool microphone) {
        return std::find_if(devices.begin(), devices.end(), [&](const InputDeviceEntry& device) {
            return (device.name.find(u"OrvelloMic") != std::u16string::npos) == microphone;
        });
    };
    ASSERT_NE(named(true), devices.end());
    ASSERT_NE(named(false), devices.end()) << "the speaker's monitor should be a second input";
    const int microphone = int(named(true) - devices.begin());
    const int other = int(named(false) - devices.begin());
    test::WriteSettingText(L"InputDeviceId", ToWideString(devices[other].name));
    const std::string wav = HelloWorldWav();
    test::OrvelloProcess orvello(WithModel());
    HWND main = ReadyMainWindow(orvello);
    ASSERT_NE(main, nullptr);
    HWND list = GetDlgItem(main, kInputListId);
    const auto devicesChanged = [&] {
        SendMessageW(main, WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0);
    };
    ASSERT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), other);

    // A stale entry, as if a device had gone; the rebuilt list drops it.
    SendMessageW(list, LB_ADDSTRING, 0, LPARAM(L"Unplugged microphone"));
    SendMessageW(list, LB_SETCURSEL, microphone, 0);
    devicesChanged();
    EXPECT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), LRESULT(devices.size()));
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), other);

    SendMessageW(list, LB_SETCURSEL, microphone, 0);
    SendMessageW(main, WM_COMMAND, MAKEWPARAM(kUseSelectedInputId, BN_CLICKED),
                 LPARAM(GetDlgItem(main, kUseSelectedInputId)));
    devicesChanged();
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), microphone);

    ASSERT_TRUE(test::FocusWindow(main));
    test::PushToTalk({test::keycode::kRightCtrl}, wav);
    EXPECT_TRUE(orvello.WaitForLogContaining(L"[Main trigger | Text: hello world]\r\n", 30s))
        << "log: " << Narrow(orvello.ControlText(kLogId));
}

// A microphone unplugged since the list was made, without a device notice: the recording cannot
// start and says why; once the microphone is back, the trigger records again.
TEST_F(OrvelloProgramTest, ARecordingThatCannotOpenTheMicrophoneIsLoggedAndOrvelloGoesOn) {
    test::WriteSettingText(L"InputDeviceId", L"OrvelloMic");
    const std::string wav = HelloWorldWav();
    test::OrvelloProcess orvello(WithModel());
    HWND main = ReadyMainWindow(orvello);
    ASSERT_NE(main, nullptr);
    {
        test::UnpluggedMicrophone unplugged;
        ASSERT_TRUE(unplugged.Unplugged());
        ASSERT_TRUE(test::FocusWindow(main));
        ASSERT_TRUE(test::KeyDown(test::keycode::kRightCtrl));
        EXPECT_TRUE(orvello.WaitForLogContaining(L"\r\nError: ", 10s))
            << "log: " << Narrow(orvello.ControlText(kLogId));
        ASSERT_TRUE(test::KeyUp(test::keycode::kRightCtrl));
    }
    ASSERT_TRUE(test::FocusWindow(main));
    test::PushToTalk({test::keycode::kRightCtrl}, wav);
    EXPECT_TRUE(orvello.WaitForLogContaining(L"[Main trigger | Text: hello world]\r\n", 30s))
        << "log: " << Narrow(orvello.ControlText(kLogId));
}

// "Hide" and the close box only send Orvello to the tray; a double click on its icon brings the
// window back in front.
TEST_F(OrvelloProgramTest, HiddenOrvelloComesBackFromItsTrayIcon) {
    test::OrvelloProcess orvello(WithModel());
    HWND main = ReadyMainWindow(orvello);
    ASSERT_NE(main, nullptr);
    for (const auto& [message, wParam] :
         {std::pair{UINT(WM_COMMAND), WPARAM(IDCANCEL)}, std::pair{UINT(WM_CLOSE), WPARAM(0)}}) {
        PostMessageW(main, message, wParam, 0);
        EXPECT_TRUE(test::PumpMessagesUntil([&] { return !IsWindowVisible(main); }, 5s));
        EXPECT_FALSE(orvello.WaitForExit(300ms).has_value());

        PostMessageW(main, WM_APP_TRAY_NOTIFY, 0, WM_LBUTTONDBLCLK);
        EXPECT_TRUE(test::PumpMessagesUntil(
            [&] { return IsWindowVisible(main) && GetForegroundWindow() == main; }, 5s));
    }
}

// The commands dialog's trigger capture takes the keyboard scope of "Use Multiple Keyboards"; in
// both positions the trigger captured there is saved on OK and, after a resume from sleep,
// starts a recording from the keyboard it was captured on.
TEST_F(OrvelloProgramTest, ACommandTriggerCapturedInTheDialogWorksInBothKeyboardScopes) {
    CommandFileScope commandFile;
    for (const bool oneKeyboard : {false, true}) {
        SCOPED_TRACE(oneKeyboard ? "Use Multiple Keyboards on" : "Use Multiple Keyboards off");
        test::DeleteOrvelloSettings();
        test::WriteSettingText(L"InputDeviceId", L"OrvelloMic");
        if (oneKeyboard) {
            test::WriteSettingInt(L"TriggerAnyKeyboard", 0);
            test::WriteSettingText(L"TriggerDeviceId", kWineKeyboardIdentity);
        }
        test::OrvelloProcess orvello(WithModel());
        HWND main = ReadyMainWindow(orvello);
        ASSERT_NE(main, nullptr);
        EXPECT_EQ(orvello.IsChecked(kMultipleKeyboardsId), oneKeyboard);

        Click(main, kEditCommandsId);
        HWND dialog = orvello.WaitForDialog(L"Commands");
        ASSERT_NE(dialog, nullptr);
        Click(dialog, kSelectTriggerId);
        HWND triggerText = GetDlgItem(dialog, kTriggerTextId);
        ASSERT_TRUE(test::PumpMessagesUntil(
            [&] { return test::WindowText(triggerText).starts_with(L"Press "); }, 5s));
        ASSERT_TRUE(test::FocusWindow(dialog));
        ASSERT_TRUE(test::KeyDown(test::keycode::kRightShift));
        ASSERT_TRUE(test::KeyUp(test::keycode::kRightShift));
        const std::wstring captured =
            oneKeyboard ? L"Right Shift | Keyboard: VID_845E&PID_0002" : L"Right Shift";
        EXPECT_TRUE(
            test::PumpMessagesUntil([&] { return test::WindowText(triggerText) == captured; }, 5s))
            << "the trigger text reads \"" << Narrow(test::WindowText(triggerText)) << "\"";
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        ASSERT_TRUE(test::PumpMessagesUntil([&] { return !IsWindow(dialog); }, 5s));
        EXPECT_EQ(test::ReadSettingInt(L"CmdTriggerMask"), DWORD(0x02));  // Right Shift
        EXPECT_EQ(test::ReadSettingText(L"CmdTriggerDeviceId"),
                  oneKeyboard ? kWineKeyboardIdentity : L"");

        SendMessageW(main, WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
        ASSERT_TRUE(test::FocusWindow(main));
        ASSERT_TRUE(test::KeyDown(test::keycode::kRightShift));
        EXPECT_TRUE(orvello.WaitForLogContaining(L"[Recording...]", 10s));
        ASSERT_TRUE(test::KeyUp(test::keycode::kRightShift));
        EXPECT_TRUE(orvello.WaitForLogContaining(L"[No audio captured]", 10s))
            << "log: " << Narrow(orvello.ControlText(kLogId));
    }
}

// The tray icon's icon handle is loaded for the icon alone and goes with it.
TEST(TrayIconTest, RemovingTheIconDestroysItsHandle) {
    const std::wstring program = WithModel() + L"\\Orvello.exe";
    HMODULE resources = LoadLibraryExW(program.c_str(), nullptr, LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(resources, nullptr);
    test::TestWindow owner(L"Orvello tray icon owner");
    TrayIcon tray;
    (void)tray.Add(owner.hwnd(), WM_APP + 1, resources);
    const HICON icon = tray.Record().hIcon;
    ASSERT_NE(icon, nullptr);
    tray.Remove();
    ICONINFO info{};
    EXPECT_FALSE(GetIconInfo(icon, &info)) << "the icon handle is still alive";
    FreeLibrary(resources);
}

}  // namespace
}  // namespace orvello
