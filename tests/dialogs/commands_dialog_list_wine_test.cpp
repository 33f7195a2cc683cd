// The commands dialog's table under Wine: the rows it shows, the buttons it enables, deleting
// with its question, reordering, and new and edited commands from the command editor.
#include <gtest/gtest.h>

#include "tests/dialogs/commands_dialog_fixture.h"

namespace orvello::test {
namespace {

class CommandsDialogList : public testing::Test {
protected:
    // A dialog with `commands`, the command trigger Right Alt and the dictation trigger Right
    // Ctrl, shown on the virtual desktop with the focus.
    void Open(std::vector<VoiceCommand> commands) {
        dialog = std::make_unique<CCommandsDialog>(std::move(commands), AnyKeyboard({RA}),
                                                   AnyKeyboard({RC}), true, nullptr, editor);
        ASSERT_TRUE(dialog->Create());
        ASSERT_TRUE(ShowAndFocus(dialog->Hwnd()));
        view = std::make_unique<DialogView>(dialog->Hwnd());
    }
    void OpenWithThree() { Open({Command(u"copy"), Command(u"paste"), Command(u"undo")}); }
    void Select(int row) {
        SendMessageW(view->Table(), LB_SETCURSEL, row, 0);
        view->SendCommand(IDC_COMMANDS_TABLE, LBN_SELCHANGE);  // what a click would notify
    }
    std::vector<std::u16string> Phrases() const {
        std::vector<std::u16string> phrases;
        for (const VoiceCommand& command : dialog->Commands()) phrases.push_back(command.phrase);
        return phrases;
    }
    // Presses "Delete" and answers the question with `button`.
    std::wstring DeleteAnswering(int button) {
        MessageBoxAnswer answer(button);
        view->Click(IDC_COMMANDS_DELETE);
        answer.Join();
        EXPECT_TRUE(answer.found) << "no question was asked";
        return answer.message;
    }

    ScriptedEditor editor;
    std::unique_ptr<CCommandsDialog> dialog;
    std::unique_ptr<DialogView> view;
};

TEST_F(CommandsDialogList, ShowsOneRowPerCommandInThreeColumnsWithNothingSelected) {
    Open({Command(u"copy that|copy"), Command(u"open browser", ActionType::RunApp, false),
          Command(u"odd one", ActionType(7)), Command(u"type date", ActionType::InsertText)});
    EXPECT_EQ(view->Rows(), (std::vector<ShownRow>{{L"ON", L"copy that|copy", L"KeyChord", false},
                                                   {L"OFF", L"open browser", L"RunApp", true},
                                                   {L"ON", L"odd one", L"?", false},
                                                   {L"ON", L"type date", L"InsertText", false}}));
    EXPECT_EQ(view->Selection(), LB_ERR);
    EXPECT_EQ(view->ButtonStates(), "10000");

    auto* table = dynamic_cast<CTableListBox*>(ui::CWnd::FromHandle(view->Table()));
    ASSERT_NE(table, nullptr) << "the list is no table list box";
    RECT client{};
    GetClientRect(view->Table(), &client);
    EXPECT_EQ(table->columns, (std::vector<TableColumn>{{45, kTableAlignCentre},
                                                        {int(client.right) - 140, kTableAlignLeft},
                                                        {95, kTableAlignLeft}}));
    EXPECT_FALSE(SaveWindowCapture(dialog->Hwnd(), "commands_dialog").empty());
}

TEST_F(CommandsDialogList, TemplateTextsAndTheCommandTriggerAreShown) {
    Open({});
    EXPECT_EQ(view->Text(IDC_HEADER_TRIGGER), L"Voice Commands Hold Down Trigger (Push-to-talk)");
    EXPECT_EQ(view->Text(IDC_MODIFIER_HINT),
              L"Use Modifier keys: [CTRL, SHIFT, ALT]  Left and Right are recognized separately");
    EXPECT_EQ(view->Text(IDC_SELECT_TRIGGER), L"Select Trigger");
    EXPECT_EQ(view->Text(IDC_TRIGGER_TEXT), L"Right Alt");
    EXPECT_EQ(view->KeyMapTriggerKeys(), Keys{RA});
    EXPECT_EQ(view->Text(0), L"");
    wchar_t caption[64] = {};
    GetWindowTextW(dialog->Hwnd(), caption, 64);
    EXPECT_EQ(std::wstring(caption), L"Commands");
    EXPECT_EQ(view->ButtonStates(), "10000");
}

TEST_F(CommandsDialogList, ClickingARowEnablesItsButtons) {
    OpenWithThree();
    ASSERT_TRUE(view->ClickRow(0));
    EXPECT_EQ(view->Selection(), 0);
    EXPECT_EQ(view->ButtonStates(), "11101") << "the first row cannot move up";
    ASSERT_TRUE(view->ClickRow(1));
    EXPECT_EQ(view->ButtonStates(), "11111");
    ASSERT_TRUE(view->ClickRow(2));
    EXPECT_EQ(view->ButtonStates(), "11110") << "the last row cannot move down";
}

TEST_F(CommandsDialogList, DeleteAsksAndOnlyYesRemoves) {
    OpenWithThree();
    Select(1);
    EXPECT_EQ(DeleteAnswering(IDNO), L"Delete this command?");
    EXPECT_EQ(Phrases(), (std::vector<std::u16string>{u"copy", u"paste", u"undo"}));
    EXPECT_EQ(view->Selection(), 1);

    MessageBoxAnswer answer(IDYES);
    view->Click(IDC_COMMANDS_DELETE);
    answer.Join();
    EXPECT_EQ(answer.buttons, (std::vector<int>{IDYES, IDNO}));
    EXPECT_EQ(answer.icon, IDI_QUESTION);
    EXPECT_EQ(Phrases(), (std::vector<std::u16string>{u"copy", u"undo"}));
    EXPECT_EQ(view->Rows(), (std::vector<ShownRow>{{L"ON", L"copy", L"KeyChord", false},
                                                   {L"ON", L"undo", L"KeyChord", false}}));
    EXPECT_EQ(view->Selection(), 1) << "the row that moved into the deleted one's place";
    EXPECT_EQ(view->ButtonStates(), "11110");
}

TEST_F(CommandsDialogList, DeletingTheLastRowSelectsTheNewLastAndTheOnlyRowNothing) {
    OpenWithThree();
    Select(2);
    DeleteAnswering(IDYES);
    EXPECT_EQ(Phrases(), (std::vector<std::u16string>{u"copy", u"paste"}));
    EXPECT_EQ(view->Selection(), 1);

    DeleteAnswering(IDYES);
    DeleteAnswering(IDYES);
    EXPECT_TRUE(dialog->Commands().empty());
    EXPECT_TRUE(view->Rows().empty());
    EXPECT_EQ(view->Selection(), LB_ERR);
    EXPECT_EQ(view->ButtonStates(), "10000") << "only New is left";
}

TEST_F(CommandsDialogList, MoveUpAndDownCarryTheSelection) {
    OpenWithThree();
    Select(0);
    view->Click(IDC_COMMANDS_MOVE_DOWN);
    EXPECT_EQ(Phrases(), (std::vector<std::u16string>{u"paste", u"copy", u"undo"}));
    EXPECT_EQ(view->Selection(), 1);
    view->Click(IDC_COMMANDS_MOVE_DOWN);
    EXPECT_EQ(Phrases(), (std::vector<std::u16string>{u"paste", u"undo", u"copy"}));
    EXPECT_EQ(view->Selection(), 2);
    EXPECT_EQ(view->ButtonStates(), "11110");
    EXPECT_EQ(view->Rows()[2].phrase, L"copy");

    view->Click(IDC_COMMANDS_MOVE_UP);
    view->Click(IDC_COMMANDS_MOVE_UP);
    EXPECT_EQ(Phrases(), (std::vector<std::u16string>{u"copy", u"paste", u"undo"}));
    EXPECT_EQ(view->Selection(), 0);
    EXPECT_EQ(view->ButtonStates(), "11101");

    view->SendCommand(IDC_COMMANDS_MOVE_UP);  // sent although the button is off
    EXPECT_EQ(Phrases(), (std::vector<std::u16string>{u"copy", u"paste", u"undo"}));
    EXPECT_EQ(view->Selection(), 0);
}

TEST_F(CommandsDialogList, MovedRowsKeepTheirDimmedMark) {
    Open({Command(u"copy"), Command(u"off", ActionType::SysCommand, false)});
    Select(1);
    view->Click(IDC_COMMANDS_MOVE_UP);
    EXPECT_EQ(view->Rows(), (std::vector<ShownRow>{{L"OFF", L"off", L"SysCommand", true},
                                                   {L"ON", L"copy", L"KeyChord", false}}));
}

TEST_F(CommandsDialogList, NewOpensTheEditorOnANewCommandAndAppendsItOnOk) {
    OpenWithThree();
    Select(0);
    editor.answer = std::nullopt;  // Cancel
    view->Click(IDC_COMMANDS_NEW);
    ASSERT_EQ(editor.opened.size(), 1u);
    EXPECT_EQ(editor.opened[0], MakeNewVoiceCommand());
    EXPECT_EQ(editor.parents[0], dialog->Hwnd());
    EXPECT_EQ(dialog->Commands().size(), 3u);
    EXPECT_EQ(view->Selection(), 0);

    editor.answer = Command(u"open mail", ActionType::RunApp, false);
    editor.answer->app_path = u"C:\\mail.exe";
    view->Click(IDC_COMMANDS_NEW);
    ASSERT_EQ(dialog->Commands().size(), 4u);
    EXPECT_EQ(dialog->Commands()[3], *editor.answer);
    EXPECT_EQ(view->Rows()[3], (ShownRow{L"OFF", L"open mail", L"RunApp", true}));
    EXPECT_EQ(view->Selection(), 3) << "the new last row";
    EXPECT_EQ(view->ButtonStates(), "11110");
}

TEST_F(CommandsDialogList, EditAndDoubleClickOpenTheEditorOnTheSelectedCommand) {
    OpenWithThree();
    view->Click(IDC_COMMANDS_EDIT);  // nothing selected: the button is off
    view->SendCommand(IDC_COMMANDS_EDIT);
    EXPECT_TRUE(editor.opened.empty());

    editor.answer = Command(u"paste special", ActionType::KeySequence, false);
    editor.answer->steps = {KeyStep{.ctrl = true, .vk = 'V'}, KeyStep{.vk = 'S'}};
    ASSERT_TRUE(view->ClickRow(1, 2));
    ASSERT_EQ(editor.opened.size(), 1u) << "the double-click opened no editor";
    EXPECT_EQ(editor.opened[0], Command(u"paste"));
    EXPECT_EQ(dialog->Commands()[1], *editor.answer) << "every field is copied back";
    EXPECT_EQ(view->Rows()[1], (ShownRow{L"OFF", L"paste special", L"KeySequence", true}));
    EXPECT_EQ(view->Selection(), 1);

    editor.answer = std::nullopt;
    Select(2);
    view->Click(IDC_COMMANDS_EDIT);
    ASSERT_EQ(editor.opened.size(), 2u);
    EXPECT_EQ(editor.opened[1], Command(u"undo"));
    EXPECT_EQ(dialog->Commands()[2], Command(u"undo")) << "Cancel changes nothing";
    EXPECT_EQ(view->Selection(), 2);
}

TEST_F(CommandsDialogList, DuringACaptureTheListIsLocked) {
    OpenWithThree();
    Select(1);
    view->Click(IDC_SELECT_TRIGGER);
    ASSERT_TRUE(dialog->IsCapturing());
    EXPECT_EQ(view->ButtonStates(), "00000");

    editor.answer = Command(u"never");
    MessageBoxAnswer noQuestion(IDNO, 1500);  // answers a wrongly asked question
    for (int id : {IDC_COMMANDS_NEW, IDC_COMMANDS_EDIT, IDC_COMMANDS_DELETE, IDC_COMMANDS_MOVE_UP,
                   IDC_COMMANDS_MOVE_DOWN}) {
        view->SendCommand(id);
    }
    view->SendCommand(IDC_COMMANDS_TABLE, LBN_DBLCLK);
    noQuestion.Join();
    EXPECT_FALSE(noQuestion.found);
    EXPECT_TRUE(editor.opened.empty());
    EXPECT_EQ(Phrases(), (std::vector<std::u16string>{u"copy", u"paste", u"undo"}));

    view->Click(IDC_SELECT_TRIGGER);
    EXPECT_FALSE(dialog->IsCapturing());
    EXPECT_EQ(view->ButtonStates(), "11111");
}

}  // namespace
}  // namespace orvello::test
