#include "commands/phrase_matching.h"

#include <gtest/gtest.h>

#include "commands/command_file_format.h"

namespace orvello {
namespace {

VoiceCommand CommandWithPhrase(std::u16string phrase, bool enabled = true) {
    VoiceCommand command = MakeNewVoiceCommand();
    command.phrase = std::move(phrase);
    command.enabled = enabled;
    return command;
}

bool Matches(std::u16string phrase, std::u16string_view spoken) {
    const std::vector<VoiceCommand> commands = {CommandWithPhrase(std::move(phrase))};
    return FindCommand(commands, spoken) != nullptr;
}

TEST(SpokenTextNormalisationTest, TrimsFoldsThenStripsTrailingPunctuation) {
    EXPECT_EQ(NormaliseSpokenText(u" \t Done?! \r\n"), u"done");
    EXPECT_EQ(NormaliseSpokenText(u"Next track ."), u"next track ");
    EXPECT_EQ(NormaliseSpokenText(u"e.g. This;:,"), u"e.g. this");
    EXPECT_EQ(NormaliseSpokenText(u"\u00A0go\u00A0"), u"\u00A0go\u00A0");
    EXPECT_EQ(NormaliseSpokenText(u" \r\n\t "), u"");
    EXPECT_EQ(NormaliseSpokenText(u" ... "), u"");
    EXPECT_EQ(NormaliseSpokenText(u"WHY\u3002"), u"why\u3002");  // ideographic stop stays
}

TEST(SpokenTextNormalisationTest, FoldsOnlyAsciiLetters) {
    EXPECT_EQ(FoldAsciiCase(u"AZaz@[`{"), u"azaz@[`{");
    EXPECT_EQ(FoldAsciiCase(u"\u00D6FFNEN \u0416 \u0130"), u"\u00D6ffnen \u0416 \u0130");
}

TEST(PhraseMatchingTest, IgnoresCaseAndTrailingPunctuationOfTheSpokenText) {
    EXPECT_TRUE(Matches(u"open browser", u"Open browser."));
    EXPECT_TRUE(Matches(u"done", u"DONE?!"));
    EXPECT_TRUE(Matches(u"Open Browser", u"open browser"));
}

TEST(PhraseMatchingTest, TrimsTheSpokenTextAndEachAlternative) {
    EXPECT_TRUE(Matches(u"paste|paste text", u"  paste text!\r\n"));
    EXPECT_TRUE(Matches(u"Copy|  PASTE  ", u"paste"));
    EXPECT_TRUE(Matches(u"\tcopy\r\n|cut", u"copy"));
}

TEST(PhraseMatchingTest, SpaceBeforeRemovedPunctuationPreventsAMatch) {
    EXPECT_FALSE(Matches(u"next track", u"Next track ."));
    EXPECT_FALSE(Matches(u"next track", u"next track ?!"));
}

TEST(PhraseMatchingTest, NonAsciiLettersAreComparedUnfolded) {
    EXPECT_FALSE(Matches(u"\u00F6ffnen", u"\u00D6FFNEN"));
    EXPECT_FALSE(Matches(u"\u00D6ffnen", u"\u00F6ffnen"));
    EXPECT_TRUE(Matches(u"\u00D6ffnen", u"\u00D6FFNEN."));
    EXPECT_TRUE(Matches(u"\U0001F600 go", u"\U0001F600 Go!"));
    EXPECT_FALSE(Matches(u"go", u"\u00A0go"));  // a non-breaking space is not trimmed
}

TEST(PhraseMatchingTest, AlternativesKeepTheirOwnPunctuation) {
    EXPECT_FALSE(Matches(u"copy.|paste", u"copy"));
    EXPECT_FALSE(Matches(u"copy.|paste", u"copy."));
    EXPECT_TRUE(Matches(u"copy.|paste", u"paste."));
    EXPECT_TRUE(Matches(u"e.g. this", u"E.g. this."));
}

TEST(PhraseMatchingTest, StopWithPeriodFromAHandEditedFileNeverMatches) {
    const CommandFileLoadResult loaded =
        ParseCommandFile("[{\"phrase\": \"stop.\", \"steps\": [{\"vk\": 178}]}]");
    ASSERT_EQ(loaded.commands.size(), 1u);
    EXPECT_EQ(FindCommand(loaded.commands, u"stop."), nullptr);
    EXPECT_EQ(FindCommand(loaded.commands, u"stop"), nullptr);
}

TEST(PhraseMatchingTest, MatchesWholePhrasesOnly) {
    EXPECT_FALSE(Matches(u"open", u"open browser"));
    EXPECT_FALSE(Matches(u"open browser", u"open"));
    EXPECT_FALSE(Matches(u"open browser", u"browser open"));
    EXPECT_FALSE(Matches(u"open browser", u"open  browser"));
}

TEST(PhraseMatchingTest, EmptyAlternativesNeverMatchSoPunctuationOnlyTextRunsNothing) {
    EXPECT_FALSE(Matches(u"a||b", u"."));
    EXPECT_FALSE(Matches(u"x|", u"!?"));
    EXPECT_FALSE(Matches(u"", u" ... "));
    EXPECT_FALSE(Matches(u"  |x", u","));
    EXPECT_TRUE(Matches(u"a||b", u"b"));
    EXPECT_TRUE(Matches(u"copy|", u"Copy."));
}

TEST(FindCommandTest, DisabledCommandsAreNeverReturned) {
    const std::vector<VoiceCommand> commands = {CommandWithPhrase(u"save", false)};
    EXPECT_EQ(FindCommand(commands, u"save"), nullptr);
}

TEST(FindCommandTest, FirstEnabledMatchInListOrderWins) {
    const std::vector<VoiceCommand> commands = {
        CommandWithPhrase(u"save", false),
        CommandWithPhrase(u"load"),
        CommandWithPhrase(u"save"),
        CommandWithPhrase(u"save"),
    };
    EXPECT_EQ(FindCommand(commands, u"Save."), &commands[2]);
}

TEST(FindCommandTest, EarlierCommandWinsThroughALaterAlternative) {
    const std::vector<VoiceCommand> commands = {
        CommandWithPhrase(u"load|store|save"),
        CommandWithPhrase(u"save"),
    };
    EXPECT_EQ(FindCommand(commands, u"save"), &commands[0]);
}

TEST(FindCommandTest, EmptyListFindsNothing) {
    EXPECT_EQ(FindCommand({}, u"save"), nullptr);
    EXPECT_EQ(FindCommand({}, u""), nullptr);
}

}  // namespace
}  // namespace orvello
