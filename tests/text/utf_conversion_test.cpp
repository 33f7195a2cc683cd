#include "text/utf_conversion.h"

#include <gtest/gtest.h>

namespace orvello {
namespace {

constexpr char16_t kFffd = kReplacementCharacter;

TEST(Utf8ToUtf16Test, DecodesOneToFourByteSequences) {
    EXPECT_EQ(Utf8ToUtf16("open"), u"open");
    EXPECT_EQ(Utf8ToUtf16("\xC3\xB6"
                          "ffnen"),
              u"\u00F6ffnen");
    EXPECT_EQ(Utf8ToUtf16("\xE6\x97\xA5\xE6\x9C\xAC"), u"\u65E5\u672C");
    EXPECT_EQ(Utf8ToUtf16("\xF0\x9F\x98\x80"), (std::u16string{0xD83D, 0xDE00}));
    EXPECT_EQ(Utf8ToUtf16("\xF4\x8F\xBF\xBF"), (std::u16string{0xDBFF, 0xDFFF}));
    EXPECT_EQ(Utf8ToUtf16(std::string_view("a\0b", 3)), (std::u16string{u'a', 0, u'b'}));
}

TEST(Utf8ToUtf16Test, ReplacesEachMaximalIllFormedPartOnce) {
    // A cut-off sequence is one replacement and does not swallow what follows.
    EXPECT_EQ(Utf8ToUtf16("\xE6\x97"
                          "A"),
              (std::u16string{kFffd, u'A'}));
    EXPECT_EQ(Utf8ToUtf16("\xF0\x9F\x98"), (std::u16string{kFffd}));
    // Stray continuation bytes and bytes that never lead.
    EXPECT_EQ(Utf8ToUtf16("\x80\xBF"), (std::u16string{kFffd, kFffd}));
    EXPECT_EQ(Utf8ToUtf16("\xFF"
                          "x\xF5"),
              (std::u16string{kFffd, u'x', kFffd}));
    // Overlong forms, an encoded surrogate and a value above U+10FFFF.
    EXPECT_EQ(Utf8ToUtf16("\xC0\xAF"), (std::u16string{kFffd, kFffd}));
    EXPECT_EQ(Utf8ToUtf16("\xE0\x80\xAF"), (std::u16string{kFffd, kFffd, kFffd}));
    EXPECT_EQ(Utf8ToUtf16("\xED\xA0\x80"), (std::u16string{kFffd, kFffd, kFffd}));
    EXPECT_EQ(Utf8ToUtf16("\xF4\x90\x80\x80"), (std::u16string{kFffd, kFffd, kFffd, kFffd}));
}

TEST(Utf16ToUtf8Test, EncodesSurrogatePairsAsOneCharacter) {
    EXPECT_EQ(Utf16ToUtf8(u"\u00C4rger"), "\xC3\x84rger");
    EXPECT_EQ(Utf16ToUtf8(u"\u20AC"), "\xE2\x82\xAC");
    EXPECT_EQ(Utf16ToUtf8(std::u16string{0xD83D, 0xDE00}), "\xF0\x9F\x98\x80");
}

TEST(Utf16ToUtf8Test, ReplacesUnpairedSurrogates) {
    const std::string fffd = "\xEF\xBF\xBD";
    EXPECT_EQ(Utf16ToUtf8(std::u16string{u'a', 0xD83D}), "a" + fffd);
    EXPECT_EQ(Utf16ToUtf8(std::u16string{0xDE00, u'b'}), fffd + "b");
    EXPECT_EQ(Utf16ToUtf8(std::u16string{0xDE00, 0xD83D}), fffd + fffd);
    EXPECT_EQ(Utf16ToUtf8(std::u16string{0xD83D, u'c', 0xDE00}), fffd + "c" + fffd);
}

TEST(UtfRoundTripTest, EveryScalarValueSurvivesBothDirections) {
    std::u16string all;
    for (char32_t value = 1; value <= 0x10FFFF; ++value) {
        if (value >= 0xD800 && value <= 0xDFFF) continue;
        if (value < 0x10000) {
            all.push_back(static_cast<char16_t>(value));
        } else {
            all.push_back(static_cast<char16_t>(0xD800 + ((value - 0x10000) >> 10)));
            all.push_back(static_cast<char16_t>(0xDC00 + ((value - 0x10000) & 0x3FF)));
        }
    }
    const std::string utf8 = Utf16ToUtf8(all);
    // 127 one-byte, 1920 two-byte, 61440 three-byte, 1048576 four-byte characters.
    EXPECT_EQ(utf8.size(), 127u + 1920u * 2 + 61440u * 3 + 1048576u * 4);
    EXPECT_EQ(Utf8ToUtf16(utf8), all);
}

}  // namespace
}  // namespace orvello
