// vocab.txt parsing and the assembly of token ids into text.
#include <gtest/gtest.h>

#include "engine/engine_error.h"
#include "engine/vocabulary.h"

namespace orvello {
namespace {

std::string ErrorOf(std::string_view vocabBytes) {
    try {
        ParseVocabulary(vocabBytes);
    } catch (const EngineError& error) {
        return error.what();
    }
    return "no error";
}

TEST(ParseVocabulary, IdsNeedNotBeContiguousAndUnnamedIdsAreEmpty) {
    const Vocabulary v = ParseVocabulary("a 0\n<blk> 2");
    ASSERT_EQ(v.pieces.size(), 3u);
    EXPECT_EQ(v.pieces[0], "a");
    EXPECT_EQ(v.pieces[1], "");
    EXPECT_EQ(v.blankId, 2);
}

TEST(ParseVocabulary, LineEndsAndSpacesInsidePieces) {
    // CR LF: the id text "5\r" converts to 5, the piece keeps no carriage return.
    const Vocabulary crlf = ParseVocabulary("\xE2\x96\x81the 5\r\n<blk> 0\r\n");
    EXPECT_EQ(crlf.pieces[5], "\xE2\x96\x81the");
    // The last line without a line feed still counts; a piece may hold spaces.
    const Vocabulary spaced = ParseVocabulary("<blk> 0\na b 7");
    EXPECT_EQ(spaced.pieces[7], "a b");
    // An empty piece is allowed: the line is " 3".
    EXPECT_EQ(ParseVocabulary("<blk> 0\n 3").pieces.size(), 4u);
}

TEST(ParseVocabulary, ByteOrderMarkStaysPartOfTheFirstPiece) {
    const Vocabulary v = ParseVocabulary("\xEF\xBB\xBFhi 1\n<blk> 0\n");
    EXPECT_EQ(v.pieces[1], "\xEF\xBB\xBFhi");
}

TEST(ParseVocabulary, LaterLinesReplaceEarlierOnesAndTheLastBlankWins) {
    const Vocabulary v = ParseVocabulary("x 4\ny 4\n<blk> 1\n<blk> 3\n");
    EXPECT_EQ(v.pieces[4], "y");
    EXPECT_EQ(v.blankId, 3);
    EXPECT_EQ(v.pieces[1], "<blk>");
}

TEST(ParseVocabulary, IdsConvertLikeStoi) {
    EXPECT_EQ(ParseVocabularyId("7z"), 7);
    EXPECT_EQ(ParseVocabularyId(" \t+12"), 12);
    EXPECT_EQ(ParseVocabularyId("2147483647"), 2147483647);
    EXPECT_EQ(ParseVocabularyId("-2147483648"), -2147483647 - 1);
    EXPECT_EQ(ErrorOf("<blk> 0\nx z7"), "invalid stoi argument");
    EXPECT_EQ(ErrorOf("<blk> 0\nx "), "invalid stoi argument");
    EXPECT_EQ(ErrorOf("<blk> 0\nx -"), "invalid stoi argument");
    EXPECT_EQ(ErrorOf("<blk> 0\nx 2147483648"), "stoi argument out of range");
    EXPECT_EQ(ErrorOf("<blk> 0\nx 99999999999999999999999"), "stoi argument out of range");
}

TEST(ParseVocabulary, BadContentGivesItsMessage) {
    EXPECT_EQ(ErrorOf("<blk> 0\nabc\n"), "Invalid Parakeet vocab line: abc");
    EXPECT_EQ(ErrorOf("<blk> 0\n\r\n"), "Invalid Parakeet vocab line: \r");
    EXPECT_EQ(ErrorOf("<blk> 0\nx -1\n"), "Negative vocab id encountered.");
    EXPECT_EQ(ErrorOf("<blk> 0\nx 100000000\n"), "Vocab id 100000000 is too large (at most 1048575).");
    EXPECT_EQ(ErrorOf(""), "Parakeet vocab.txt is empty.");
    EXPECT_EQ(ErrorOf("\n\n\n"), "Parakeet vocab.txt is empty.");
    EXPECT_EQ(ErrorOf("a 0\nb 1\n"), "Parakeet vocab.txt is missing <blk>.");
    EXPECT_EQ(ErrorOf("<blk > 0\n"), "Parakeet vocab.txt is missing <blk>.");
    // A later line that takes the blank's id leaves no blank (found by the vocab fuzzer).
    EXPECT_EQ(ErrorOf("<blk> 7\nx 7\n"), "Parakeet vocab.txt is missing <blk>.");
}

const std::vector<std::string> kPieces = {"<blk>",
                                          "\xE2\x96\x81Hello",
                                          ",",
                                          "\xE2\x96\x81world",
                                          "\xE2\x96\x81!",
                                          "\xE2\x96\x81Quoi",
                                          "\xE2\x96\x81?",
                                          "a\tb\nc",
                                          "\xE2\x96\x81\xC3\xA7"
                                          "a",
                                          "  ",
                                          "s"};

TEST(AssembleText, BoundaryMarkersBecomeSpacesAndPunctuationClosesUp) {
    EXPECT_EQ(AssembleText(kPieces, {1, 2, 3, 4}), "Hello, world!");
    EXPECT_EQ(AssembleText(kPieces, {5, 6}), "Quoi?");
    EXPECT_EQ(AssembleText(kPieces, {8, 10}),
              "\xC3\xA7"
              "as");  // "ças": non-ASCII pieces pass unchanged
}

TEST(AssembleText, WhitespaceRunsFoldAndEndsAreTrimmed) {
    EXPECT_EQ(AssembleText(kPieces, {9, 7, 9}), "a b c");
    EXPECT_EQ(AssembleText(kPieces, {9, 1, 9, 9, 3, 9}), "Hello world");
    EXPECT_EQ(AssembleText(kPieces, {9}), "");
}

TEST(AssembleText, UnknownIdsAreSkippedAndNoIdsGiveNoText) {
    EXPECT_EQ(AssembleText(kPieces, {-1, 1, 99, 3}), "Hello world");
    EXPECT_EQ(AssembleText(kPieces, {}), "");
    // Bytes of 0x80 and above are never whitespace, even NBSP's second byte.
    EXPECT_EQ(AssembleText({"\xC2\xA0x"}, {0}), "\xC2\xA0x");
}

TEST(AssembleText, OnlyTheSpaceDirectlyBeforePunctuationGoes) {
    const std::vector<std::string> pieces = {
        "a", " ", ".", ";", ":", "?", "\xE2\x96\x81\xE2\x96\x81"};
    EXPECT_EQ(AssembleText(pieces, {0, 1, 2, 1, 3, 1, 4}), "a.;:");
    EXPECT_EQ(AssembleText(pieces, {0, 6, 5, 0}), "a?a");  // two markers fold into one space
    EXPECT_EQ(AssembleText(pieces, {1, 2}), ".");
}

}  // namespace
}  // namespace orvello
