#include "commands/voice_command.h"

#include <gtest/gtest.h>

namespace orvello {
namespace {

TEST(SystemCommandCatalogueTest, HoldsTheElevenCommandsInSelectorOrder) {
    const std::u16string_view expectedNames[] = {
        u"Volume Up",         u"Volume Down",          u"Volume Mute/Unmute", u"Media Play / Pause",
        u"Media Next Track",  u"Media Previous Track", u"Media Stop",         u"Open Browser",
        u"Open Email Client", u"Set Clipboard Text",   u"Clear Clipboard",
    };
    ASSERT_EQ(SystemCommandCatalogue.size(), 11u);
    for (std::size_t index = 0; index < SystemCommandCatalogue.size(); ++index) {
        const SystemCommandEntry& entry = SystemCommandCatalogue[index];
        EXPECT_EQ(static_cast<int>(entry.id), static_cast<int>(index) + 1);
        EXPECT_EQ(entry.displayName, expectedNames[index]);
    }
}

TEST(SystemCommandCatalogueTest, OnlyBrowserEmailAndClipboardTextTakeAnArgument) {
    for (const SystemCommandEntry& entry : SystemCommandCatalogue) {
        switch (entry.id) {
            case SystemCommandId::OpenBrowser:
                EXPECT_EQ(entry.argumentLabel, u"URL (optional):");
                EXPECT_FALSE(entry.argumentRequired);
                break;
            case SystemCommandId::OpenEmailClient:
                EXPECT_EQ(entry.argumentLabel, u"Address (optional):");
                EXPECT_FALSE(entry.argumentRequired);
                break;
            case SystemCommandId::SetClipboardText:
                EXPECT_EQ(entry.argumentLabel, u"Text:");
                EXPECT_TRUE(entry.argumentRequired);
                break;
            default:
                EXPECT_FALSE(entry.TakesArgument()) << static_cast<int>(entry.id);
                EXPECT_FALSE(entry.argumentRequired);
        }
    }
}

TEST(SystemCommandCatalogueTest, LooksUpKnownIdsAndRefusesOthers) {
    EXPECT_EQ(SystemCommandCatalogueIndex(SystemCommandId::OpenBrowser), 7u);
    EXPECT_EQ(SystemCommandCatalogueIndex(SystemCommandId::ClearClipboard), 10u);
    ASSERT_NE(FindSystemCommand(SystemCommandId::SetClipboardText), nullptr);
    EXPECT_EQ(FindSystemCommand(SystemCommandId::SetClipboardText)->displayName,
              u"Set Clipboard Text");
    EXPECT_EQ(FindSystemCommand(SystemCommandId::None), nullptr);
    EXPECT_EQ(FindSystemCommand(static_cast<SystemCommandId>(12)), nullptr);
    EXPECT_EQ(FindSystemCommand(static_cast<SystemCommandId>(-1)), nullptr);
    EXPECT_FALSE(SystemCommandCatalogueIndex(SystemCommandId::None).has_value());
}

TEST(ActionTypeTest, ListAndEditorTextsFollowTheValue) {
    EXPECT_EQ(ActionTypeListText(ActionType::KeyChord), u"KeyChord");
    EXPECT_EQ(ActionTypeListText(ActionType::KeySequence), u"KeySequence");
    EXPECT_EQ(ActionTypeListText(ActionType::RunApp), u"RunApp");
    EXPECT_EQ(ActionTypeListText(ActionType::InsertText), u"InsertText");
    EXPECT_EQ(ActionTypeListText(ActionType::SysCommand), u"SysCommand");
    EXPECT_EQ(kActionTypeEditorTexts[0], u"Key Chord");
    EXPECT_EQ(kActionTypeEditorTexts[1], u"Key Sequence");
    EXPECT_EQ(kActionTypeEditorTexts[2], u"Run Application");
    EXPECT_EQ(kActionTypeEditorTexts[3], u"Insert Text");
    EXPECT_EQ(kActionTypeEditorTexts[4], u"System Command");
}

TEST(ActionTypeTest, ValuesOutsideTheFiveAreListedAsQuestionMark) {
    EXPECT_EQ(ActionTypeListText(static_cast<ActionType>(7)), u"?");
    EXPECT_EQ(ActionTypeListText(static_cast<ActionType>(5)), u"?");
    EXPECT_EQ(ActionTypeListText(static_cast<ActionType>(-1)), u"?");
    EXPECT_FALSE(IsKnownActionType(static_cast<ActionType>(9)));
    EXPECT_TRUE(IsKnownActionType(ActionType::SysCommand));
}

TEST(VoiceCommandTest, NewCommandHasOneEmptyKeyStep) {
    const VoiceCommand command = MakeNewVoiceCommand();
    EXPECT_TRUE(command.phrase.empty());
    EXPECT_TRUE(command.enabled);
    EXPECT_EQ(command.type, ActionType::KeyChord);
    ASSERT_EQ(command.steps.size(), 1u);
    EXPECT_EQ(command.steps[0], KeyStep{});
    EXPECT_TRUE(command.steps[0].IsEmpty());
    EXPECT_EQ(command.sys_cmd_id, SystemCommandId::None);
}

TEST(VoiceCommandTest, RecordWithoutStepsIsTheMissingKeyDefault) {
    const VoiceCommand command;
    EXPECT_TRUE(command.enabled);
    EXPECT_EQ(command.type, ActionType::KeyChord);
    EXPECT_TRUE(command.steps.empty());
}

TEST(VoiceCommandTest, CopyOwnsItsStringsAndSteps) {
    VoiceCommand original = MakeNewVoiceCommand();
    original.phrase = u"save";
    VoiceCommand copy = original;
    copy.phrase += u"|store";
    copy.steps[0].vk = 0x53;
    copy.steps.push_back(KeyStep{.ctrl = true, .vk = 0x41});
    EXPECT_EQ(original.phrase, u"save");
    ASSERT_EQ(original.steps.size(), 1u);
    EXPECT_TRUE(original.steps[0].IsEmpty());
}

TEST(KeyStepTest, ModifiersWithoutKeyAreStillEmpty) {
    const KeyStep step{.ctrl = true, .alt = true, .shift = true, .win = true, .vk = 0};
    EXPECT_TRUE(step.IsEmpty());
    EXPECT_FALSE((KeyStep{.vk = 0x74}).IsEmpty());
}

}  // namespace
}  // namespace orvello
