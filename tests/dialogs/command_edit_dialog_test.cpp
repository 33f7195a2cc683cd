// The command editor under Wine, from the program's template 131: what it shows for a
// command, the panel it lays over the placeholder, what OK stores (normalised phrase,
// cleared fields), the refusal messages, Cancel, and what survives switching types.
#include "dialogs/command_edit_dialog.h"

#include <gtest/gtest.h>

#include "output/output_win.h"
#include "resources/command_editor_ids.h"
#include "tests/dialogs/editor_test_driver.h"
#include "tests/support/window_capture.h"

namespace orvello {
namespace {

using test::EditorWindow;
using test::RunEditor;

// The static child of `dialog` showing `text`, or null.
HWND StaticWithText(HWND dialog, const std::wstring& text) {
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t shown[256] = {};
        GetWindowTextW(child, shown, 256);
        if (text == shown) return child;
    }
    return nullptr;
}

// Whether the control's text in its font fits its width.
bool FitsOnOneLine(HWND control) {
    wchar_t text[256] = {};
    const int length = GetWindowTextW(control, text, 256);
    HDC dc = GetDC(control);
    HGDIOBJ previous = SelectObject(dc, HGDIOBJ(SendMessageW(control, WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32W(dc, text, length, &size);
    SelectObject(dc, previous);
    ReleaseDC(control, dc);
    RECT client{};
    GetClientRect(control, &client);
    return size.cx <= client.right;
}

constexpr KeyStep kCtrlC{true, false, false, false, 'C'};
constexpr KeyStep kAltTab{false, true, false, false, VK_TAB};
constexpr KeyStep kEnter{false, false, false, false, VK_RETURN};
constexpr KeyStep kF5{false, false, false, false, VK_F5};

VoiceCommand Sequence(std::vector<KeyStep> steps) {
    VoiceCommand command;
    command.phrase = u"switch";
    command.type = ActionType::KeySequence;
    command.steps = std::move(steps);
    return command;
}

TEST(CommandEditor, ShowsTheCommandAndLaysItsPanelOverThePlaceholder) {
    VoiceCommand command = Sequence({kCtrlC, kAltTab});
    command.enabled = false;
    CCommandEditDialog editor(command, nullptr);
    const INT_PTR result = RunEditor(editor, [](EditorWindow& w) {
        ASSERT_EQ(w.TypeCount(), 5);
        EXPECT_EQ(w.TypeItem(0), L"Key Chord");
        EXPECT_EQ(w.TypeItem(1), L"Key Sequence");
        EXPECT_EQ(w.TypeItem(2), L"Run Application");
        EXPECT_EQ(w.TypeItem(3), L"Insert Text");
        EXPECT_EQ(w.TypeItem(4), L"System Command");
        EXPECT_EQ(w.SelectedType(), 1);
        wchar_t phrase[64] = {};
        GetDlgItemTextW(w.Editor(), IDC_EDITOR_PHRASE, phrase, 64);
        EXPECT_STREQ(phrase, L"switch");
        EXPECT_EQ(IsDlgButtonChecked(w.Editor(), IDC_EDITOR_ENABLED), UINT(BST_UNCHECKED));

        ASSERT_EQ(w.PanelCount(), 1);
        HWND panel = w.Panel();
        EXPECT_TRUE(IsWindowVisible(panel));
        EXPECT_TRUE(GetWindowLongW(panel, GWL_STYLE) & WS_CHILD);
        RECT panelRect{}, placeholderRect{};
        GetWindowRect(panel, &panelRect);
        GetWindowRect(GetDlgItem(w.Editor(), IDC_EDITOR_PANEL_PLACEHOLDER), &placeholderRect);
        EXPECT_TRUE(EqualRect(&panelRect, &placeholderRect));
        EXPECT_EQ(w.PanelListRows(IDC_PANEL_STEP_LIST).size(), 2u);  // the sequence panel

        wchar_t caption[64] = {};
        GetWindowTextW(w.Editor(), caption, 64);
        EXPECT_STREQ(caption, L"Edit Command");
        HWND hint = StaticWithText(w.Editor(),
                                   L"Separate alternative phrases with | - e.g. paste|paste text");
        ASSERT_NE(hint, nullptr);
        EXPECT_TRUE(FitsOnOneLine(hint)) << "the phrase hint is cut off";
        Sleep(200);  // painted
        EXPECT_FALSE(test::SaveWindowCapture(w.Editor(), "command_editor_sequence").empty());

        w.SelectType(3);  // one panel at a time, always over the placeholder
        EXPECT_EQ(w.PanelCount(), 1);
        EXPECT_NE(GetDlgItem(w.Panel(), IDC_PANEL_TEXT_BODY), nullptr);
        GetWindowRect(w.Panel(), &panelRect);
        EXPECT_TRUE(EqualRect(&panelRect, &placeholderRect));
        w.PressCancel();
    });
    EXPECT_EQ(result, IDCANCEL);
}

TEST(CommandEditor, OkNormalisesThePhraseAndANewChordWithoutCaptureKeepsOneEmptyStep) {
    CCommandEditDialog editor(MakeNewVoiceCommand(), nullptr);
    const INT_PTR result = RunEditor(editor, [](EditorWindow& w) {
        EXPECT_EQ(w.SelectedType(), 0);
        EXPECT_EQ(w.PanelText(IDC_PANEL_CHORD_TEXT), L"(none)");
        w.SetPhrase(L"  Open Browser. ");
        w.SetEnabled(false);
        EXPECT_EQ(w.PressOk(), L"");
    });
    ASSERT_EQ(result, IDOK);
    const VoiceCommand& working = editor.Working();
    EXPECT_EQ(working.phrase, u"open browser");
    EXPECT_FALSE(working.enabled);
    EXPECT_EQ(working.type, ActionType::KeyChord);
    EXPECT_EQ(working.steps, std::vector<KeyStep>{KeyStep{}});
}

TEST(CommandEditor, AnEmptyPhraseIsRefusedAndTheEditorStaysOpenUntilItIsFixed) {
    VoiceCommand command = MakeNewVoiceCommand();
    command.phrase = u"old";
    CCommandEditDialog editor(command, nullptr);
    const INT_PTR result = RunEditor(editor, [&](EditorWindow& w) {
        w.SetPhrase(L"?!");
        EXPECT_EQ(w.PressOk(), L"Phrase cannot be empty.");
        EXPECT_TRUE(IsWindow(w.Editor()));
        EXPECT_EQ(editor.Working().phrase, u"old");  // nothing stored
        w.SetPhrase(L" \t ");
        EXPECT_EQ(w.PressOk(), L"Phrase cannot be empty.");
        w.SetPhrase(L"stop .");
        EXPECT_EQ(w.PressOk(), L"");
    });
    ASSERT_EQ(result, IDOK);
    EXPECT_EQ(editor.Working().phrase, u"stop");
}

TEST(CommandEditor, EachTypeIsRefusedWithItsOwnMessageUntilItsFieldIsFilled) {
    CCommandEditDialog editor(MakeNewVoiceCommand(), nullptr);
    const INT_PTR result = RunEditor(editor, [](EditorWindow& w) {
        w.SetPhrase(L"go");
        w.SelectType(2);
        EXPECT_EQ(w.PressOk(), L"Application path cannot be empty.");
        w.SelectType(3);
        EXPECT_EQ(w.PressOk(), L"Text body cannot be empty.");
        w.SelectType(4);
        w.SelectPanelCombo(IDC_PANEL_SYS_COMMAND, 9);  // Set Clipboard Text
        EXPECT_EQ(w.PressOk(), L"Text cannot be empty for Set Clipboard.");
        w.SetPanelText(IDC_PANEL_SYS_ARG, L"hello");
        EXPECT_EQ(w.PressOk(), L"");
    });
    ASSERT_EQ(result, IDOK);
    EXPECT_EQ(editor.Working().type, ActionType::SysCommand);
    EXPECT_EQ(editor.Working().sys_cmd_id, SystemCommandId::SetClipboardText);
    EXPECT_EQ(editor.Working().sys_cmd_arg, u"hello");
    EXPECT_TRUE(editor.Working().steps.empty());
}

TEST(CommandEditor, ARefusalKeepsWhatWasStoredSoTheUserCanCorrectIt) {
    VoiceCommand command = Sequence({kCtrlC});
    command.type = ActionType::KeySequence;
    command.steps.clear();  // as read from a file without steps
    CCommandEditDialog editor(command, nullptr);
    const INT_PTR result = RunEditor(editor, [&](EditorWindow& w) {
        w.SelectType(2);
        w.SetPanelText(IDC_PANEL_APP_ARGS, L"--new");
        EXPECT_EQ(w.PressOk(), L"Application path cannot be empty.");
        EXPECT_EQ(editor.Working().type, ActionType::RunApp);
        EXPECT_EQ(editor.Working().app_args, u"--new");
        EXPECT_EQ(editor.Working().phrase, u"switch");
        w.PressCancel();
    });
    EXPECT_EQ(result, IDCANCEL);
}

TEST(CommandEditor, AcceptingRunApplicationKeepsPathAndArgumentsAsTypedAndClearsTheRest) {
    VoiceCommand command = Sequence({kCtrlC, kEnter});
    command.text_body = u"old body";
    command.sys_cmd_id = SystemCommandId::OpenBrowser;
    command.sys_cmd_arg = u"https://example.org";
    CCommandEditDialog editor(command, nullptr);
    const INT_PTR result = RunEditor(editor, [](EditorWindow& w) {
        w.SelectType(2);
        w.SetPanelText(IDC_PANEL_APP_PATH, L" C:\\Program Files\\App\\app.exe ");
        w.SetPanelText(IDC_PANEL_APP_ARGS, L"\"a b\"  -x ");
        EXPECT_EQ(w.PressOk(), L"");
    });
    ASSERT_EQ(result, IDOK);
    const VoiceCommand& working = editor.Working();
    EXPECT_EQ(working.type, ActionType::RunApp);
    EXPECT_EQ(working.app_path, u" C:\\Program Files\\App\\app.exe ");
    EXPECT_EQ(working.app_args, u"\"a b\"  -x ");
    EXPECT_TRUE(working.steps.empty());
    EXPECT_TRUE(working.text_body.empty());
    EXPECT_EQ(working.sys_cmd_id, SystemCommandId::OpenBrowser);  // never cleared
    EXPECT_EQ(working.sys_cmd_arg, u"https://example.org");
}

TEST(CommandEditor, InsertTextStoresLineBreaksAsCrLfAndClearsKeysAndApplication) {
    VoiceCommand command = MakeNewVoiceCommand();
    command.phrase = u"sign";
    command.app_path = u"app.exe";
    command.app_args = u"-x";
    CCommandEditDialog editor(command, nullptr);
    const INT_PTR result = RunEditor(editor, [](EditorWindow& w) {
        w.SelectType(3);
        w.SetPanelText(IDC_PANEL_TEXT_BODY, L"Regards,\r\n{date}");
        EXPECT_EQ(w.PressOk(), L"");
    });
    ASSERT_EQ(result, IDOK);
    EXPECT_EQ(editor.Working().text_body, u"Regards,\r\n{date}");
    EXPECT_TRUE(editor.Working().steps.empty());
    EXPECT_TRUE(editor.Working().app_path.empty());
    EXPECT_TRUE(editor.Working().app_args.empty());
}

TEST(CommandEditor, SwitchingAwayAndBackKeepsTheStepsTheTextAndThePath) {
    VoiceCommand command = Sequence({kCtrlC, kAltTab, kEnter});
    CCommandEditDialog editor(command, nullptr);
    const INT_PTR result = RunEditor(editor, [](EditorWindow& w) {
        w.SelectType(2);
        w.SetPanelText(IDC_PANEL_APP_PATH, L"notepad.exe");
        w.SelectType(3);
        w.SetPanelText(IDC_PANEL_TEXT_BODY, L"typed");
        w.SelectType(1);
        EXPECT_EQ(w.PanelListRows(IDC_PANEL_STEP_LIST),
                  (std::vector<std::wstring>{L"1: " + FormatKeyStep(kCtrlC),
                                             L"2: " + FormatKeyStep(kAltTab),
                                             L"3: " + FormatKeyStep(kEnter)}));
        w.SelectType(2);
        EXPECT_EQ(w.PanelText(IDC_PANEL_APP_PATH), L"notepad.exe");
        w.SelectType(3);
        EXPECT_EQ(w.PanelText(IDC_PANEL_TEXT_BODY), L"typed");
        w.SelectType(1);
        EXPECT_EQ(w.PressOk(), L"");
    });
    ASSERT_EQ(result, IDOK);
    EXPECT_EQ(editor.Working().steps, (std::vector<KeyStep>{kCtrlC, kAltTab, kEnter}));
    EXPECT_TRUE(editor.Working().app_path.empty());  // unused by a key sequence
    EXPECT_TRUE(editor.Working().text_body.empty());
}

TEST(CommandEditor, ASequenceSwitchedToAChordKeepsOnlyItsFirstStep) {
    CCommandEditDialog editor(Sequence({kF5, kCtrlC, kAltTab, kEnter}), nullptr);
    const INT_PTR result = RunEditor(editor, [](EditorWindow& w) {
        w.SelectType(0);
        EXPECT_EQ(w.PanelText(IDC_PANEL_CHORD_TEXT), FormatKeyStep(kF5));
        EXPECT_EQ(w.PressOk(), L"");
    });
    ASSERT_EQ(result, IDOK);
    EXPECT_EQ(editor.Working().type, ActionType::KeyChord);
    EXPECT_EQ(editor.Working().steps, std::vector<KeyStep>{kF5});
}

TEST(CommandEditor, SystemCommandStartsAtVolumeUpAndUnknownIdsAreStoredAsVolumeUp) {
    CCommandEditDialog fresh(MakeNewVoiceCommand(), nullptr);
    ASSERT_EQ(RunEditor(fresh,
                        [](EditorWindow& w) {
                            w.SetPhrase(L"louder");
                            w.SelectType(4);
                            EXPECT_EQ(w.PanelComboText(IDC_PANEL_SYS_COMMAND), L"Volume Up");
                            EXPECT_EQ(w.PressOk(), L"");
                        }),
              IDOK);
    EXPECT_EQ(fresh.Working().sys_cmd_id, SystemCommandId::VolumeUp);

    VoiceCommand unknown;
    unknown.phrase = u"mystery";
    unknown.type = ActionType::SysCommand;
    unknown.sys_cmd_id = SystemCommandId(42);
    CCommandEditDialog editor(unknown, nullptr);
    ASSERT_EQ(RunEditor(editor,
                        [](EditorWindow& w) {
                            EXPECT_EQ(w.PanelComboSelection(IDC_PANEL_SYS_COMMAND), 0);
                            EXPECT_EQ(w.PressOk(), L"");
                        }),
              IDOK);
    EXPECT_EQ(editor.Working().sys_cmd_id, SystemCommandId::VolumeUp);
}

TEST(CommandEditor, ATypeFromAHandEditedFileIsKeptWithItsActionUntilATypeIsChosen) {
    VoiceCommand command;
    command.phrase = u"odd";
    command.type = ActionType(7);
    command.steps = {kCtrlC, kEnter};
    command.text_body = u"kept";
    CCommandEditDialog kept(command, nullptr);
    ASSERT_EQ(RunEditor(kept,
                        [](EditorWindow& w) {
                            EXPECT_EQ(w.SelectedType(), -1);
                            // Shown in the chord panel, whose single step is not stored.
                            EXPECT_EQ(w.PanelText(IDC_PANEL_CHORD_TEXT), FormatKeyStep(kCtrlC));
                            w.SetPhrase(L"Odd Job");
                            EXPECT_EQ(w.PressOk(), L"");
                        }),
              IDOK);
    VoiceCommand expected = command;
    expected.phrase = u"odd job";
    EXPECT_EQ(kept.Working(), expected);

    CCommandEditDialog chosen(command, nullptr);
    ASSERT_EQ(RunEditor(chosen,
                        [](EditorWindow& w) {
                            w.SelectType(0);
                            EXPECT_EQ(w.PressOk(), L"");
                        }),
              IDOK);
    EXPECT_EQ(chosen.Working().type, ActionType::KeyChord);
    EXPECT_EQ(chosen.Working().steps, std::vector<KeyStep>{kCtrlC});
    EXPECT_TRUE(chosen.Working().text_body.empty());
}

TEST(CommandEditor, CancelReturnsCancelAndStoresNoneOfTheEdits) {
    const VoiceCommand command = Sequence({kCtrlC});
    CCommandEditDialog editor(command, nullptr);
    const INT_PTR result = RunEditor(editor, [](EditorWindow& w) {
        w.SetPhrase(L"Something Else");
        w.SetEnabled(false);
        w.PressCancel();
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(editor.Working(), command);
}

}  // namespace
}  // namespace orvello
