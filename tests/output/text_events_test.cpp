// The event lists that type and paste text: which records, in which order, with which fields.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "output/text_events.h"
#include "tests/output/recording_sender.h"

namespace orvello::test {
namespace {

KeyboardInput UnicodeDown(char16_t unit) {
    return UnicodeKeyEvent(unit, 0);
}
KeyboardInput UnicodeUp(char16_t unit) {
    return UnicodeKeyEvent(unit, kKeyEventKeyUp);
}

const KeyboardInput kEnterDown = VirtualKeyEvent(0x0D, 0);
const KeyboardInput kEnterUp = VirtualKeyEvent(0x0D, kKeyEventKeyUp);

TEST(TextEvents, EveryCharacterIsAUnicodeDownFollowedByItsUp) {
    const auto events = BuildTextEvents(u"aé€");
    const std::vector<KeyboardInput> expected = {
        UnicodeDown(u'a'),    UnicodeUp(u'a'),        UnicodeDown(u'\u00E9'),
        UnicodeUp(u'\u00E9'), UnicodeDown(u'\u20AC'), UnicodeUp(u'\u20AC'),
    };
    EXPECT_EQ(events, expected);
}

TEST(TextEvents, RecordsCarryOnlyTypeKeyScanAndFlags) {
    const auto events = BuildTextEvents(u"\u00FC\n");
    ASSERT_EQ(events.size(), 4u);
    for (const KeyboardInput& event : events) {
        EXPECT_EQ(event.type, 1u);  // INPUT_KEYBOARD
        EXPECT_EQ(event.time, 0u);
        EXPECT_EQ(event.extraInfo, 0u);
    }
    EXPECT_EQ(events[0].virtualKey, 0);
    EXPECT_EQ(events[0].scanCode, 0xFC);
    EXPECT_EQ(events[0].flags, 0x0004u);  // KEYEVENTF_UNICODE
    EXPECT_EQ(events[1].flags, 0x0006u);  // KEYEVENTF_UNICODE | KEYEVENTF_KEYUP
    EXPECT_EQ(events[2].virtualKey, 0x0D);
    EXPECT_EQ(events[2].scanCode, 0);
    EXPECT_EQ(events[2].flags, 0u);
    EXPECT_EQ(events[3].flags, 0x0002u);  // KEYEVENTF_KEYUP
}

TEST(TextEvents, CharacterAboveTheBasicPlaneIsTwoPairsHighSurrogateFirst) {
    const auto events = BuildTextEvents(u"\U0001D11E");  // musical G clef
    const std::vector<KeyboardInput> expected = {UnicodeDown(0xD834), UnicodeUp(0xD834),
                                                 UnicodeDown(0xDD1E), UnicodeUp(0xDD1E)};
    EXPECT_EQ(events, expected);
}

TEST(TextEvents, TabIsTheUnicodeCharacterNineNotTheTabKey) {
    const auto events = BuildTextEvents(u"a\tb");
    ASSERT_EQ(events.size(), 6u);
    EXPECT_EQ(events[2], UnicodeDown(9));
    EXPECT_EQ(events[3], UnicodeUp(9));
}

TEST(TextEvents, LineFeedIsEnterAndCarriageReturnIsDropped) {
    EXPECT_EQ(BuildTextEvents(u"\r\n"), (std::vector<KeyboardInput>{kEnterDown, kEnterUp}));
    EXPECT_TRUE(BuildTextEvents(u"\r").empty());
    EXPECT_EQ(BuildTextEvents(u"x\ny\r"),
              (std::vector<KeyboardInput>{UnicodeDown(u'x'), UnicodeUp(u'x'), kEnterDown, kEnterUp,
                                          UnicodeDown(u'y'), UnicodeUp(u'y')}));
}

TEST(TextEvents, RoomForTwoEventsPerCodeUnitIsReservedAndNeverOutgrown) {
    const std::u16string text = u"line one\r\nline two\r\n\U0001F600";
    const auto events = BuildTextEvents(text);
    EXPECT_EQ(events.capacity(), 2 * text.size());
    EXPECT_EQ(events.size(), 2 * text.size() - 2 * 2);  // two CRs make no events
}

TEST(TypeText, SendsTheWholeTextAsOneBatch) {
    RecordingSender sender;
    EXPECT_TRUE(TypeText(u"Grüße\r\nzurück", sender));
    ASSERT_EQ(sender.batches.size(), 1u);
    EXPECT_EQ(sender.batches[0], BuildTextEvents(u"Grüße\r\nzurück"));
}

TEST(TypeText, NothingToSendSucceedsWithoutSending) {
    RecordingSender sender;
    EXPECT_TRUE(TypeText(u"", sender));
    EXPECT_TRUE(TypeText(u"\r\r", sender));
    EXPECT_TRUE(sender.batches.empty());
}

TEST(TypeText, FailsWhenFewerEventsWereInserted) {
    RecordingSender sender;
    sender.InsertOnly(0, 3);
    EXPECT_FALSE(TypeText(u"abc", sender));
    EXPECT_EQ(sender.batches.size(), 1u) << "nothing is retried";
}

TEST(PasteKeys, CtrlDownVDownVUpCtrlUpInOneBatch) {
    RecordingSender sender;
    EXPECT_TRUE(SendPasteKeys(sender));
    const std::vector<KeyboardInput> expected = {VirtualKeyEvent(0x11, 0), VirtualKeyEvent(0x56, 0),
                                                 VirtualKeyEvent(0x56, 0x0002),
                                                 VirtualKeyEvent(0x11, 0x0002)};
    ASSERT_EQ(sender.batches.size(), 1u);
    EXPECT_EQ(sender.batches[0], expected);

    RecordingSender refusing;
    refusing.InsertOnly(0, 3);
    EXPECT_FALSE(SendPasteKeys(refusing));
}

}  // namespace
}  // namespace orvello::test
