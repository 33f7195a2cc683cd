// The action panels inside the running editor: chords captured from the virtual keyboard
// (modifiers, Escape, the right Windows key), the key sequence list and its buttons, the
// program browse dialog, and the system command's argument field.
#include <gtest/gtest.h>

#include <cwchar>
#include <fstream>
#include <thread>

#include "dialogs/command_edit_dialog.h"
#include "output/output_win.h"
#include "resources/command_editor_ids.h"
#include "tests/dialogs/editor_test_driver.h"
#include "tests/support/desktop.h"
#include "tests/support/unix_command.h"

namespace orvello {
namespace {

using test::EditorWindow;
using test::RunEditor;
using test::WaitUntil;

// X keycodes of the virtual keyboard.
constexpr int kKeyS = 39, kKeyE = 26, kKeyRightWin = 134;

constexpr KeyStep kCtrlC{true, false, false, false, 'C'};
constexpr KeyStep kEnter{false, false, false, false, VK_RETURN};

void Press(int keycode) {
    EXPECT_TRUE(test::KeyDown(keycode));
    EXPECT_TRUE(test::KeyUp(keycode));
}

// Gives the editor the keyboard and starts a capture in its panel.
void StartCapture(EditorWindow& w) {
    ASSERT_TRUE(test::FocusWindow(w.Editor()));
    w.ClickPanel(IDC_PANEL_CAPTURE);
    EXPECT_EQ(w.PanelText(IDC_PANEL_CAPTURE), L"Press a key...");
    EXPECT_EQ(w.PanelText(IDC_PANEL_CHORD_TEXT), L"Waiting...");
}

bool CaptureEnded(const EditorWindow& w) {
    return WaitUntil([&] { return w.PanelText(IDC_PANEL_CAPTURE) == L"Capture..."; });
}

VoiceCommand Chord(const KeyStep& step) {
    VoiceCommand command;
    command.phrase = u"chord";
    command.steps = {step};
    return command;
}

TEST(KeyChordPanel, ModifiersKeepWaitingAndTheNextKeyCompletesTheChord) {
    CCommandEditDialog editor(MakeNewVoiceCommand(), nullptr);
    const KeyStep expected{true, false, true, false, 'S'};
    const INT_PTR result = RunEditor(editor, [&](EditorWindow& w) {
        w.SetPhrase(L"save");
        StartCapture(w);
        EXPECT_TRUE(test::KeyDown(test::keycode::kLeftCtrl));
        EXPECT_TRUE(test::KeyDown(test::keycode::kLeftShift));
        Sleep(200);
        EXPECT_EQ(w.PanelText(IDC_PANEL_CHORD_TEXT), L"Waiting...");
        EXPECT_EQ(w.PanelText(IDC_PANEL_CAPTURE), L"Press a key...");
        Press(kKeyS);
        EXPECT_TRUE(test::KeyUp(test::keycode::kLeftShift));
        EXPECT_TRUE(test::KeyUp(test::keycode::kLeftCtrl));
        EXPECT_TRUE(CaptureEnded(w));
        EXPECT_EQ(w.PanelText(IDC_PANEL_CHORD_TEXT), FormatKeyStep(expected));
        EXPECT_EQ(w.PressOk(), L"");
    });
    ASSERT_EQ(result, IDOK);
    EXPECT_EQ(editor.Working().steps, std::vector<KeyStep>{expected});
}

TEST(KeyChordPanel, EscapeEndsTheCaptureWithoutClosingTheEditorOrChangingTheChord) {
    CCommandEditDialog editor(Chord(kCtrlC), nullptr);
    const INT_PTR result = RunEditor(editor, [&](EditorWindow& w) {
        StartCapture(w);
        EXPECT_EQ(test::RunUnixCommand("xdotool key Escape"),
                  0);  // a one-digit keycode reads as a digit
        EXPECT_TRUE(CaptureEnded(w));
        Sleep(200);
        EXPECT_TRUE(IsWindow(w.Editor()));
        EXPECT_EQ(w.PanelText(IDC_PANEL_CHORD_TEXT), FormatKeyStep(kCtrlC));
        EXPECT_EQ(w.PressOk(), L"");
    });
    ASSERT_EQ(result, IDOK);
    EXPECT_EQ(editor.Working().steps, std::vector<KeyStep>{kCtrlC});
}

TEST(KeyChordPanel, TheRightWindowsKeyCountsAsWin) {
    CCommandEditDialog editor(Chord(kCtrlC), nullptr);
    const INT_PTR result = RunEditor(editor, [&](EditorWindow& w) {
        StartCapture(w);
        EXPECT_TRUE(test::KeyDown(kKeyRightWin));
        Press(kKeyE);
        EXPECT_TRUE(test::KeyUp(kKeyRightWin));
        EXPECT_TRUE(CaptureEnded(w));
        EXPECT_EQ(w.PressOk(), L"");
    });
    ASSERT_EQ(result, IDOK);
    EXPECT_EQ(editor.Working().steps,
              (std::vector<KeyStep>{KeyStep{false, false, false, true, 'E'}}));
}

// The chord panel and its hook go while its capture waits: nothing of that capture is left,
// keys reach the editor as usual, and the sequence panel captures with a hook of its own.
TEST(KeyChordPanel, SwitchingTheTypeDuringACaptureEndsItWithThePanel) {
    CCommandEditDialog editor(Chord(kCtrlC), nullptr);
    const INT_PTR result = RunEditor(editor, [&](EditorWindow& w) {
        StartCapture(w);
        w.SelectType(1);
        ASSERT_EQ(w.PanelCount(), 1);
        EXPECT_EQ(w.PanelText(IDC_PANEL_CAPTURE), L"Capture...");
        EXPECT_EQ(w.PanelListRows(IDC_PANEL_STEP_LIST),
                  std::vector<std::wstring>{L"1: " + FormatKeyStep(kCtrlC)});

        HWND phraseEdit = GetDlgItem(w.Editor(), IDC_EDITOR_PHRASE);
        SendMessageW(w.Editor(), WM_NEXTDLGCTL, WPARAM(phraseEdit), TRUE);
        SendMessageW(phraseEdit, EM_SETSEL, 5, 5);
        Press(kKeyS);
        EXPECT_TRUE(WaitUntil([&] {
            wchar_t phrase[32] = {};
            GetWindowTextW(phraseEdit, phrase, 32);
            return std::wstring(phrase) == L"chords";
        })) << "the key did not reach the phrase";

        StartCapture(w);
        Press(kKeyE);
        EXPECT_TRUE(CaptureEnded(w));
        EXPECT_EQ(w.PressOk(), L"");
    });
    ASSERT_EQ(result, IDOK);
    EXPECT_EQ(editor.Working().type, ActionType::KeySequence);
    EXPECT_EQ(editor.Working().steps, (std::vector<KeyStep>{KeyStep{.vk = 'E'}}));
}

// A desktop handle without DESKTOP_HOOKCONTROL: a thread using it may create windows but no
// hooks, so the panel's key filter cannot be installed.
constexpr ACCESS_MASK kDesktopAccessWithoutHooks =
    DESKTOP_READOBJECTS | DESKTOP_CREATEWINDOW | DESKTOP_CREATEMENU | DESKTOP_ENUMERATE |
    DESKTOP_WRITEOBJECTS | DESKTOP_SWITCHDESKTOP | DESKTOP_JOURNALRECORD | DESKTOP_JOURNALPLAYBACK |
    STANDARD_RIGHTS_REQUIRED;

TEST(KeyChordPanel, WithoutItsKeyboardHookTheCaptureSaysSoAndLeavesThePanelAsItWas) {
    HANDLE withoutHooks = nullptr;
    ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), GetThreadDesktop(GetCurrentThreadId()),
                                GetCurrentProcess(), &withoutHooks, kDesktopAccessWithoutHooks,
                                FALSE, 0));
    CCommandEditDialog editor(Chord(kCtrlC), nullptr);
    INT_PTR result = 0;
    std::thread editorThread([&] {
        ASSERT_TRUE(SetThreadDesktop(HDESK(withoutHooks)));
        result = RunEditor(editor, [](EditorWindow& w) {
            ASSERT_TRUE(test::FocusWindow(w.Editor()));
            w.PostClickPanel(IDC_PANEL_CAPTURE);
            EXPECT_EQ(w.DismissMessageBox(),
                      L"Keys cannot be captured: Windows did not allow the keyboard hook the "
                      L"capture needs.");
            EXPECT_EQ(w.PanelText(IDC_PANEL_CAPTURE), L"Capture...");
            EXPECT_EQ(w.PanelText(IDC_PANEL_CHORD_TEXT), FormatKeyStep(kCtrlC));
            EXPECT_EQ(w.PressOk(), L"");
        });
    });
    editorThread.join();
    CloseHandle(withoutHooks);
    ASSERT_EQ(result, IDOK);
    EXPECT_EQ(editor.Working().steps, std::vector<KeyStep>{kCtrlC});
}

TEST(KeySequencePanel, ANewSequenceHasOneEmptyRowAndItsButtonsFollowTheSelection) {
    VoiceCommand command = MakeNewVoiceCommand();
    command.phrase = u"keys";
    command.steps.clear();
    command.type = ActionType::KeySequence;
    CCommandEditDialog editor(command, nullptr);
    const INT_PTR result = RunEditor(editor, [](EditorWindow& w) {
        EXPECT_EQ(w.PanelListRows(IDC_PANEL_STEP_LIST), std::vector<std::wstring>{L"1: (none)"});
        EXPECT_EQ(w.PanelListSelection(IDC_PANEL_STEP_LIST), 0);
        EXPECT_EQ(w.PanelText(IDC_PANEL_CHORD_TEXT), L"(none)");
        EXPECT_FALSE(w.PanelItemEnabled(IDC_PANEL_STEP_REMOVE));
        EXPECT_FALSE(w.PanelItemEnabled(IDC_PANEL_STEP_MOVE_UP));
        EXPECT_FALSE(w.PanelItemEnabled(IDC_PANEL_STEP_MOVE_DOWN));
        EXPECT_TRUE(w.PanelItemEnabled(IDC_PANEL_CAPTURE));
        EXPECT_TRUE(w.PanelItemEnabled(IDC_PANEL_STEP_ADD));

        w.ClickPanel(IDC_PANEL_STEP_ADD);
        w.ClickPanel(IDC_PANEL_STEP_ADD);
        EXPECT_EQ(w.PanelListRows(IDC_PANEL_STEP_LIST).size(), 3u);
        EXPECT_EQ(w.PanelListSelection(IDC_PANEL_STEP_LIST), 2);
        EXPECT_TRUE(w.PanelItemEnabled(IDC_PANEL_STEP_REMOVE));
        EXPECT_TRUE(w.PanelItemEnabled(IDC_PANEL_STEP_MOVE_UP));
        EXPECT_FALSE(w.PanelItemEnabled(IDC_PANEL_STEP_MOVE_DOWN));

        w.ClickPanel(IDC_PANEL_STEP_REMOVE);  // the last of three: the new last is selected
        EXPECT_EQ(w.PanelListRows(IDC_PANEL_STEP_LIST),
                  (std::vector<std::wstring>{L"1: (none)", L"2: (none)"}));
        EXPECT_EQ(w.PanelListSelection(IDC_PANEL_STEP_LIST), 1);

        w.SelectPanelList(IDC_PANEL_STEP_LIST, -1);
        EXPECT_EQ(w.PanelText(IDC_PANEL_CHORD_TEXT), L"");
        EXPECT_FALSE(w.PanelItemEnabled(IDC_PANEL_CAPTURE));
        EXPECT_FALSE(w.PanelItemEnabled(IDC_PANEL_STEP_REMOVE));
        EXPECT_TRUE(w.PanelItemEnabled(IDC_PANEL_STEP_ADD));
        EXPECT_EQ(w.PressOk(), L"");
    });
    ASSERT_EQ(result, IDOK);
    EXPECT_EQ(editor.Working().steps, (std::vector<KeyStep>{KeyStep{}, KeyStep{}}));
}

TEST(KeySequencePanel, MovingAndCapturingChangeTheSelectedRowInPlace) {
    VoiceCommand command;
    command.phrase = u"keys";
    command.type = ActionType::KeySequence;
    command.steps = {kCtrlC, kEnter};
    const KeyStep save{true, false, true, false, 'S'};
    CCommandEditDialog editor(command, nullptr);
    const INT_PTR result = RunEditor(editor, [&](EditorWindow& w) {
        w.ClickPanel(IDC_PANEL_STEP_MOVE_DOWN);
        EXPECT_EQ(w.PanelListRows(IDC_PANEL_STEP_LIST),
                  (std::vector<std::wstring>{L"1: " + FormatKeyStep(kEnter),
                                             L"2: " + FormatKeyStep(kCtrlC)}));
        EXPECT_EQ(w.PanelListSelection(IDC_PANEL_STEP_LIST), 1);
        EXPECT_EQ(w.PanelText(IDC_PANEL_CHORD_TEXT), FormatKeyStep(kCtrlC));

        w.SelectPanelList(IDC_PANEL_STEP_LIST, 0);
        EXPECT_EQ(w.PanelText(IDC_PANEL_CHORD_TEXT), FormatKeyStep(kEnter));
        StartCapture(w);
        EXPECT_TRUE(test::KeyDown(test::keycode::kLeftCtrl));
        EXPECT_TRUE(test::KeyDown(test::keycode::kLeftShift));
        Press(kKeyS);
        EXPECT_TRUE(test::KeyUp(test::keycode::kLeftShift));
        EXPECT_TRUE(test::KeyUp(test::keycode::kLeftCtrl));
        EXPECT_TRUE(CaptureEnded(w));
        EXPECT_EQ(w.PanelListRows(IDC_PANEL_STEP_LIST),
                  (std::vector<std::wstring>{L"1: " + FormatKeyStep(save),
                                             L"2: " + FormatKeyStep(kCtrlC)}));
        EXPECT_EQ(w.PanelListSelection(IDC_PANEL_STEP_LIST), 0);
        EXPECT_EQ(w.PanelText(IDC_PANEL_CHORD_TEXT), FormatKeyStep(save));
        EXPECT_EQ(w.PressOk(), L"");
    });
    ASSERT_EQ(result, IDOK);
    EXPECT_EQ(editor.Working().steps, (std::vector<KeyStep>{save, kCtrlC}));
}

// A program to pick: an existing file in the temporary folder.
std::wstring MakeProgramFile() {
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    const std::wstring path = std::wstring(folder) + L"orvello_browse_test.exe";
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    EXPECT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
    return path;
}

// Types `path` into the open dialog's file name field and confirms, or cancels it.
void AnswerOpenDialog(const std::wstring& path, bool confirm) {
    HWND open = test::WaitForDialog(L"Open");
    ASSERT_NE(open, nullptr) << "no file dialog";
    Sleep(200);
    if (confirm) {
        for (int id : {0x47c /* cmb13 */, 0x480 /* edt1 */})
            if (HWND field = GetDlgItem(open, id))
                SendMessageW(field, WM_SETTEXT, 0, LPARAM(path.c_str()));
    }
    const int button = confirm ? IDOK : IDCANCEL;
    PostMessageW(open, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                 LPARAM(GetDlgItem(open, button)));
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(open); }, 5000));
}

TEST(RunAppPanel, BrowsingSetsThePathAndLeavesTheArgumentsAndCancellingChangesNothing) {
    const std::wstring program = MakeProgramFile();
    VoiceCommand command;
    command.phrase = u"app";
    command.type = ActionType::RunApp;
    command.app_path = u"old.exe";
    command.app_args = u"--keep";
    CCommandEditDialog editor(command, nullptr);
    const INT_PTR result = RunEditor(editor, [&](EditorWindow& w) {
        w.PostClickPanel(IDC_PANEL_APP_BROWSE);
        AnswerOpenDialog(program, false);
        Sleep(100);
        EXPECT_EQ(w.PanelText(IDC_PANEL_APP_PATH), L"old.exe");

        w.PostClickPanel(IDC_PANEL_APP_BROWSE);
        AnswerOpenDialog(program, true);
        EXPECT_TRUE(WaitUntil([&] { return w.PanelText(IDC_PANEL_APP_PATH) != L"old.exe"; }));
        EXPECT_EQ(_wcsicmp(w.PanelText(IDC_PANEL_APP_PATH).c_str(), program.c_str()), 0)
            << w.PanelText(IDC_PANEL_APP_PATH).c_str();
        EXPECT_EQ(w.PanelText(IDC_PANEL_APP_ARGS), L"--keep");
        EXPECT_EQ(w.PressOk(), L"");
    });
    ASSERT_EQ(result, IDOK);
    EXPECT_EQ(editor.Working().app_args, u"--keep");
    DeleteFileW(program.c_str());
}

TEST(SystemCommandPanel, TheArgumentFieldFollowsTheChosenCommand) {
    VoiceCommand command;
    command.phrase = u"web";
    command.type = ActionType::SysCommand;
    command.sys_cmd_id = SystemCommandId::SetClipboardText;
    command.sys_cmd_arg = u"kept text";
    CCommandEditDialog editor(command, nullptr);
    const INT_PTR result = RunEditor(editor, [](EditorWindow& w) {
        // The eleven catalogue entries, the command's own selected, its argument shown.
        EXPECT_EQ(SendDlgItemMessageW(w.Panel(), IDC_PANEL_SYS_COMMAND, CB_GETCOUNT, 0, 0), 11);
        EXPECT_EQ(w.PanelComboText(IDC_PANEL_SYS_COMMAND), L"Set Clipboard Text");
        EXPECT_EQ(w.PanelText(IDC_PANEL_SYS_ARG_LABEL), L"Text:");
        EXPECT_EQ(w.PanelText(IDC_PANEL_SYS_ARG), L"kept text");
        EXPECT_TRUE(w.PanelItemEnabled(IDC_PANEL_SYS_ARG));

        w.SelectPanelCombo(IDC_PANEL_SYS_COMMAND, 7);
        EXPECT_EQ(w.PanelComboText(IDC_PANEL_SYS_COMMAND), L"Open Browser");
        EXPECT_EQ(w.PanelText(IDC_PANEL_SYS_ARG_LABEL), L"URL (optional):");
        EXPECT_TRUE(w.PanelItemEnabled(IDC_PANEL_SYS_ARG));
        EXPECT_EQ(w.PanelText(IDC_PANEL_SYS_ARG), L"kept text");

        w.SelectPanelCombo(IDC_PANEL_SYS_COMMAND, 0);
        EXPECT_EQ(w.PanelText(IDC_PANEL_SYS_ARG_LABEL), L"");
        EXPECT_FALSE(w.PanelItemEnabled(IDC_PANEL_SYS_ARG));
        EXPECT_EQ(w.PanelText(IDC_PANEL_SYS_ARG), L"");

        w.SelectPanelCombo(IDC_PANEL_SYS_COMMAND, 8);
        EXPECT_EQ(w.PanelText(IDC_PANEL_SYS_ARG_LABEL), L"Address (optional):");
        w.SetPanelText(IDC_PANEL_SYS_ARG, L"me@example.org");
        EXPECT_EQ(w.PressOk(), L"");
    });
    ASSERT_EQ(result, IDOK);
    EXPECT_EQ(editor.Working().sys_cmd_id, SystemCommandId::OpenEmailClient);
    EXPECT_EQ(editor.Working().sys_cmd_arg, u"me@example.org");
}

}  // namespace
}  // namespace orvello
