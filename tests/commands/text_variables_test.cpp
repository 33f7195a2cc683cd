// The variables of Insert Text: their formats and the replacement rules.
#include <gtest/gtest.h>

#include <string>

#include "commands/text_variables.h"
#include "tests/commands/recording_command_platform.h"

namespace orvello::test {
namespace {

class TextVariables : public ::testing::Test {
protected:
    TextVariables() { source.localTime = MarchFifthMorning(); }
    std::u16string Expand(std::u16string_view body) { return ExpandVariables(body, source); }
    RecordingCommandPlatform source;
};

TEST_F(TextVariables, DateIsTheFullEnglishMonthTwoDigitDayAndYear) {
    EXPECT_EQ(FormatDateVariable(MarchFifthMorning()), u"March 05, 2024");
    std::tm lastDay = MarchFifthMorning();
    lastDay.tm_mon = 11;
    lastDay.tm_mday = 31;
    EXPECT_EQ(FormatDateVariable(lastDay), u"December 31, 2024");
}

TEST_F(TextVariables, TimeIsATwentyFourHourClockWithTwoDigits) {
    EXPECT_EQ(FormatTimeVariable(MarchFifthMorning()), u"09:07");
    std::tm evening = MarchFifthMorning();
    evening.tm_hour = 23;
    evening.tm_min = 59;
    EXPECT_EQ(FormatTimeVariable(evening), u"23:59");
}

TEST_F(TextVariables, EveryOccurrenceIsReplaced) {
    EXPECT_EQ(Expand(u"{date} and {date}"), u"March 05, 2024 and March 05, 2024");
    EXPECT_EQ(Expand(u"Am {date} um {time} Uhr."), u"Am March 05, 2024 um 09:07 Uhr.");
}

TEST_F(TextVariables, DateAndTimeOfOneBodyComeFromOneReadingAcrossMidnight) {
    std::tm lastMinute = MarchFifthMorning();
    lastMinute.tm_mday = 4;
    lastMinute.tm_hour = 23;
    lastMinute.tm_min = 59;
    source.upcomingTimes = {lastMinute};  // the next reading is already March 5th, 09:07
    EXPECT_EQ(Expand(u"{date} {time} {time}"), u"March 04, 2024 23:59 23:59");
}

TEST_F(TextVariables, PlaceholdersAreCaseSensitiveAndNothingElseIsInterpreted) {
    EXPECT_EQ(Expand(u"{Date} {TIME} {Clipboard} {name} 100% \\n {date"),
              u"{Date} {TIME} {Clipboard} {name} 100% \\n {date");
    EXPECT_TRUE(source.clipboardReads.empty());
}

TEST_F(TextVariables, ClipboardIsReadOnlyForItsPlaceholderWithTheLimit) {
    source.clipboard = u"copied";
    EXPECT_EQ(Expand(u"{date}{time}"), u"March 05, 202409:07");
    EXPECT_EQ(Expand(u"{clipboar}"), u"{clipboar}") << "shorter than the placeholder";
    EXPECT_TRUE(source.clipboardReads.empty());

    EXPECT_EQ(Expand(u"[{clipboard}|{clipboard}]"), u"[copied|copied]");
    ASSERT_EQ(source.clipboardReads.size(), 1u) << "read once for all occurrences";
    EXPECT_EQ(source.clipboardReads[0], 65'536u);
}

TEST_F(TextVariables, TextArrivingWithTheClipboardIsNeverExpandedAgain) {
    source.clipboard = u"{date} {time} {clipboard}";
    EXPECT_EQ(Expand(u"{clipboard}!"), u"{date} {time} {clipboard}!");
}

TEST_F(TextVariables, SearchContinuesAfterTheInsertedText) {
    source.clipboard = u"{clip";
    // The inserted "{clip" and the following "board}" form a placeholder that is not replaced.
    EXPECT_EQ(Expand(u"{clipboard}board}"), u"{clipboard}");
}

TEST_F(TextVariables, EmptyClipboardInsertsNothing) {
    EXPECT_EQ(Expand(u"{clipboard}"), u"");
    EXPECT_EQ(Expand(u"a{clipboard}b"), u"ab");
}

TEST(CurrentLocalTime, IsAPlausibleCalendarTime) {
    const std::tm now = CurrentLocalTime();
    EXPECT_GE(now.tm_year + 1900, 2024);
    EXPECT_GE(now.tm_mday, 1);
    EXPECT_LE(now.tm_mday, 31);
}

}  // namespace
}  // namespace orvello::test
