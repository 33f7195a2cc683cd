#include "audio/wave_in_error_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

namespace orvello {
namespace {

TEST(WaveInErrorText, GivesTheSystemTextUpToItsTerminator) {
    WaveInResult askedCode = 0;
    std::size_t bufferChars = 0;
    const std::string text = WaveInErrorText(6, [&](WaveInResult code, std::span<char> buffer) {
        askedCode = code;
        bufferChars = buffer.size();
        std::strcpy(buffer.data(), "No driver.");
        return kWaveInOk;
    });
    EXPECT_EQ(text, "No driver.");
    EXPECT_EQ(askedCode, 6u);
    EXPECT_EQ(bufferChars, 256u);
}

TEST(WaveInErrorText, UnknownCodeGivesMmresultAndTheUnsignedCode) {
    const auto noText = [](WaveInResult, std::span<char> buffer) {
        std::strcpy(buffer.data(), "partial text of a failed call");
        return WaveInResult{9};
    };
    EXPECT_EQ(WaveInErrorText(1234, noText), "MMRESULT=1234");
    EXPECT_EQ(WaveInErrorText(0, noText), "MMRESULT=0");
    EXPECT_EQ(WaveInErrorText(0xFFFF'FFFFu, noText), "MMRESULT=4294967295");
}

TEST(WaveInErrorText, TextFillingTheWholeBufferIsKeptWhole) {
    const std::string text = WaveInErrorText(1, [](WaveInResult, std::span<char> buffer) {
        std::fill(buffer.begin(), buffer.end(), 'x');
        return kWaveInOk;
    });
    EXPECT_EQ(text, std::string(256, 'x'));
}

TEST(WaveInErrorText, EmptySystemTextStaysEmpty) {
    EXPECT_EQ(WaveInErrorText(1, [](WaveInResult, std::span<char>) { return kWaveInOk; }), "");
}

}  // namespace
}  // namespace orvello
