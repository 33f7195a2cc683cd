// The history of results: the capped list, and its file's text read back as written; damaged
// file bytes of every kind give no history rather than a part of one.
#include <gtest/gtest.h>

#include <string>

#include "history/history_file_format.h"
#include "history/result_history.h"

namespace orvello {
namespace {

HistoryEntry Entry(int number) {
    return {1'797'000'000 + number, ResultOutcome::Typed,
            u"text " + std::u16string(1, char16_t(u'0' + number % 10))};
}

TEST(ResultHistory, KeepsTheNewestHundredNewestFirst) {
    ResultHistory history;
    for (int number = 0; number < 105; ++number) history.Add(Entry(number));
    ASSERT_EQ(history.Entries().size(), kHistoryCapacity);
    EXPECT_EQ(history.Entries().front(), Entry(104));
    EXPECT_EQ(history.Entries().back(), Entry(5));

    std::deque<HistoryEntry> loaded;
    for (int number = 0; number < 120; ++number) loaded.push_back(Entry(number));
    history.Replace(loaded);
    ASSERT_EQ(history.Entries().size(), kHistoryCapacity);
    EXPECT_EQ(history.Entries().back(), Entry(99));
    history.Clear();
    EXPECT_TRUE(history.Entries().empty());
}

TEST(HistoryFile, EveryOutcomeAndAnyTextReadBackAsWritten) {
    const std::deque<HistoryEntry> entries = {
        {1'797'000'300, ResultOutcome::Typed, u"hello world"},
        {1'797'000'200, ResultOutcome::Pasted, u"\"quoted\" \\ back\\slash\r\nnew line\ttab"},
        {1'797'000'100, ResultOutcome::Ran, u"next track"},
        {0, ResultOutcome::HeldBack, u"Grüße, 東京 \U0001F600"},
        {-1, ResultOutcome::NoCommand, u""},
        {1, ResultOutcome::TypingFailed, std::u16string(20'000, u'x')},
        {2, ResultOutcome::CommandFailed, u"copy"},
    };
    EXPECT_EQ(ParseHistoryFile(FormatHistoryFile(entries)), entries);
    EXPECT_EQ(FormatHistoryFile({}), "[]");
    EXPECT_EQ(FormatHistoryFile({{1'797'001'234, ResultOutcome::HeldBack, u"hello"}}),
              "[\n  {\n    \"outcome\": \"held_back\",\n    \"text\": \"hello\",\n"
              "    \"time\": 1797001234\n  }\n]");
}

TEST(HistoryFile, AnUnpairedSurrogateIsWrittenAsAReplacementCharacter) {
    const std::u16string broken = {u'a', char16_t(0xD800), u'b'};
    const auto read = ParseHistoryFile(FormatHistoryFile({{5, ResultOutcome::Typed, broken}}));
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(read->front().text, u"a\uFFFDb");
}

TEST(HistoryFile, ReadsWhatAHandOrAnotherVersionMayHaveWritten) {
    const struct {
        const char* bytes;
        std::size_t entries;
    } cases[] = {
        {"[]", 0},
        {"\xEF\xBB\xBF[]", 0},
        {" \r\n[ ]\r\n", 0},
        {R"([{"time": 1, "outcome": "ran", "text": "a", "words": 1}])", 1},
        {R"([{"text": "a", "outcome": "typed", "time": 18446744073}])", 1},
    };
    for (const auto& c : cases) {
        const auto read = ParseHistoryFile(c.bytes);
        ASSERT_TRUE(read.has_value()) << c.bytes;
        EXPECT_EQ(read->size(), c.entries) << c.bytes;
    }
}

TEST(HistoryFile, DamagedBytesGiveNoHistory) {
    const char* const cases[] = {
        "",
        "[",
        R"([{"time": 1, "outcome": "typed", "text": "cut off)",
        "{}",
        "null",
        "[1]",
        R"([{"outcome": "typed", "text": "a"}])",
        R"([{"time": 1, "text": "a"}])",
        R"([{"time": 1, "outcome": "typed"}])",
        R"([{"time": 1.5, "outcome": "typed", "text": "a"}])",
        R"([{"time": true, "outcome": "typed", "text": "a"}])",
        R"([{"time": "1", "outcome": "typed", "text": "a"}])",
        R"([{"time": 18446744073709551615, "outcome": "typed", "text": "a"}])",
        R"([{"time": 1, "outcome": "shouted", "text": "a"}])",
        R"([{"time": 1, "outcome": 0, "text": "a"}])",
        R"([{"time": 1, "outcome": "typed", "text": ["a"]}])",
        "[{\"time\": 1, \"outcome\": \"typed\", \"text\": \"\xC3\x28\"}]",  // not UTF-8
        R"([{"time": 1, "outcome": "typed", "text": "a"}] [])",
    };
    for (const char* bytes : cases) EXPECT_FALSE(ParseHistoryFile(bytes).has_value()) << bytes;
}

TEST(HistoryFile, AFileOfMoreThanAHundredEntriesKeepsTheFirstHundred) {
    std::deque<HistoryEntry> entries;
    for (int number = 0; number < 150; ++number) entries.push_back(Entry(number));
    const auto read = ParseHistoryFile(FormatHistoryFile(entries));
    ASSERT_TRUE(read.has_value());
    ASSERT_EQ(read->size(), kHistoryCapacity);
    EXPECT_EQ(read->back(), Entry(99));
}

}  // namespace
}  // namespace orvello
