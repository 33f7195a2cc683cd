// What the command editor's OK does to a command: the phrase, the refusal messages by
// type, the fields cleared by type, and the panel and selector items of each type.
#include "dialogs/command_edit_rules.h"

#include <gtest/gtest.h>

namespace orvello {
namespace {

TEST(NormalizePhrase, TrimsLowersAndStripsTheEndOfTheWholePhrase) {
    EXPECT_EQ(NormalizePhrase(u"  Open Browser. \t"), u"open browser");
    EXPECT_EQ(NormalizePhrase(u"stop ."), u"stop");  // the blank left by the period goes too
    EXPECT_EQ(NormalizePhrase(u"\r\nUndo!?;:,.\n"), u"undo");
    EXPECT_EQ(NormalizePhrase(u"copy.|paste."), u"copy.|paste");
    EXPECT_EQ(NormalizePhrase(u"A | B"), u"a | b");  // alternatives are not trimmed here
}

TEST(NormalizePhrase, FoldsOnlyAsciiLettersAndEmptiesPunctuationAlone) {
    EXPECT_EQ(NormalizePhrase(u"\u00C4RGER \u0130Z"), u"\u00C4rger \u0130z");
    EXPECT_EQ(NormalizePhrase(u"?!"), u"");
    EXPECT_EQ(NormalizePhrase(u" . "), u"");
    EXPECT_EQ(NormalizePhrase(u""), u"");
    EXPECT_EQ(NormalizePhrase(u"what?x"), u"what?x");
}

VoiceCommand OfType(ActionType type) {
    VoiceCommand command;
    command.type = type;
    return command;
}

TEST(ActionFieldsProblem, NamesTheMissingFieldOfEachType) {
    EXPECT_EQ(ActionFieldsProblem(OfType(ActionType::KeyChord)),
              u"Must have at least one key step.");
    EXPECT_EQ(ActionFieldsProblem(OfType(ActionType::KeySequence)),
              u"Must have at least one key step.");
    EXPECT_EQ(ActionFieldsProblem(OfType(ActionType(-1))), u"Must have at least one key step.");
    EXPECT_EQ(ActionFieldsProblem(OfType(ActionType(7))), u"Must have at least one key step.");
    EXPECT_EQ(ActionFieldsProblem(OfType(ActionType::RunApp)),
              u"Application path cannot be empty.");
    EXPECT_EQ(ActionFieldsProblem(OfType(ActionType::InsertText)), u"Text body cannot be empty.");
    EXPECT_EQ(ActionFieldsProblem(OfType(ActionType::SysCommand)),
              u"Please select a system command.");

    VoiceCommand clipboard = OfType(ActionType::SysCommand);
    clipboard.sys_cmd_id = SystemCommandId::SetClipboardText;
    EXPECT_EQ(ActionFieldsProblem(clipboard), u"Text cannot be empty for Set Clipboard.");
    clipboard.sys_cmd_arg = u"x";
    EXPECT_EQ(ActionFieldsProblem(clipboard), u"");
}

TEST(ActionFieldsProblem, AcceptsFilledFieldsAndAnEmptyKeyStep) {
    VoiceCommand chord = MakeNewVoiceCommand();  // one step, all zero
    EXPECT_EQ(ActionFieldsProblem(chord), u"");
    VoiceCommand app = OfType(ActionType::RunApp);
    app.app_path = u"notepad.exe";
    EXPECT_EQ(ActionFieldsProblem(app), u"");
    VoiceCommand text = OfType(ActionType::InsertText);
    text.text_body = u" ";
    EXPECT_EQ(ActionFieldsProblem(text), u"");
    VoiceCommand browser = OfType(ActionType::SysCommand);
    browser.sys_cmd_id = SystemCommandId::OpenBrowser;  // its argument is optional
    EXPECT_EQ(ActionFieldsProblem(browser), u"");
}

VoiceCommand Everything(ActionType type) {
    VoiceCommand command;
    command.type = type;
    command.phrase = u"p";
    command.steps = {KeyStep{true, false, false, false, 0x43}, KeyStep{}};
    command.app_path = u"app";
    command.app_args = u"args";
    command.text_body = u"body";
    command.sys_cmd_id = SystemCommandId::OpenBrowser;
    command.sys_cmd_arg = u"url";
    return command;
}

TEST(ClearUnusedFields, KeepsOnlyWhatTheTypeUsesAndAlwaysTheSystemCommand) {
    for (ActionType type : {ActionType::KeyChord, ActionType::KeySequence, ActionType(-1)}) {
        VoiceCommand command = Everything(type);
        ClearUnusedFields(command);
        EXPECT_EQ(command.steps.size(), 2u);
        EXPECT_TRUE(command.app_path.empty() && command.app_args.empty());
        EXPECT_TRUE(command.text_body.empty());
        EXPECT_EQ(command.sys_cmd_id, SystemCommandId::OpenBrowser);
        EXPECT_EQ(command.sys_cmd_arg, u"url");
    }
    VoiceCommand app = Everything(ActionType::RunApp);
    ClearUnusedFields(app);
    EXPECT_TRUE(app.steps.empty());
    EXPECT_EQ(app.app_path, u"app");
    EXPECT_EQ(app.app_args, u"args");
    EXPECT_TRUE(app.text_body.empty());
    EXPECT_EQ(app.sys_cmd_arg, u"url");

    VoiceCommand text = Everything(ActionType::InsertText);
    ClearUnusedFields(text);
    EXPECT_TRUE(text.steps.empty() && text.app_path.empty() && text.app_args.empty());
    EXPECT_EQ(text.text_body, u"body");

    VoiceCommand system = Everything(ActionType::SysCommand);
    ClearUnusedFields(system);
    EXPECT_TRUE(system.steps.empty() && system.app_path.empty() && system.app_args.empty());
    EXPECT_TRUE(system.text_body.empty());
    EXPECT_EQ(system.sys_cmd_id, SystemCommandId::OpenBrowser);
    EXPECT_EQ(system.sys_cmd_arg, u"url");
    EXPECT_EQ(system.phrase, u"p");
}

TEST(PanelAndSelector, EachTypeHasItsPanelAndItemAndTheRestGetTheChordPanel) {
    EXPECT_EQ(PanelKindForSelection(0), ActionPanelKind::KeyChord);
    EXPECT_EQ(PanelKindForSelection(1), ActionPanelKind::KeySequence);
    EXPECT_EQ(PanelKindForSelection(2), ActionPanelKind::RunApp);
    EXPECT_EQ(PanelKindForSelection(3), ActionPanelKind::InsertText);
    EXPECT_EQ(PanelKindForSelection(4), ActionPanelKind::SystemCommand);
    EXPECT_EQ(PanelKindForSelection(-1), ActionPanelKind::KeyChord);
    EXPECT_EQ(PanelKindForSelection(5), ActionPanelKind::KeyChord);

    EXPECT_EQ(SelectorIndexOfType(ActionType::SysCommand), 4);
    EXPECT_EQ(SelectorIndexOfType(ActionType::KeyChord), 0);
    EXPECT_EQ(SelectorIndexOfType(ActionType(7)), -1);
    EXPECT_EQ(SelectorIndexOfType(ActionType(-3)), -1);
}

TEST(SystemCommandSelector, UnknownIdsShowVolumeUpAndOnlyCatalogueItemsHaveIds) {
    EXPECT_EQ(SystemCommandSelectorIndex(SystemCommandId::VolumeUp), 0);
    EXPECT_EQ(SystemCommandSelectorIndex(SystemCommandId::ClearClipboard), 10);
    EXPECT_EQ(SystemCommandSelectorIndex(SystemCommandId::None), 0);
    EXPECT_EQ(SystemCommandSelectorIndex(SystemCommandId(42)), 0);
    EXPECT_EQ(SystemCommandAtSelectorIndex(0), SystemCommandId::VolumeUp);
    EXPECT_EQ(SystemCommandAtSelectorIndex(9), SystemCommandId::SetClipboardText);
    EXPECT_EQ(SystemCommandAtSelectorIndex(10), SystemCommandId::ClearClipboard);
    EXPECT_EQ(SystemCommandAtSelectorIndex(11), SystemCommandId::None);
    EXPECT_EQ(SystemCommandAtSelectorIndex(-1), SystemCommandId::None);
}

}  // namespace
}  // namespace orvello
