// Measures what typing costs before SendInput: building the event list of a text.
//   bench_output [characters] [rounds]   (defaults 10,000 and 2,000)
// The text mixes ASCII, accented letters, a character above U+FFFF, tabs and CR LF.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "output/text_events.h"

namespace {

using Clock = std::chrono::steady_clock;

std::u16string SampleText(std::size_t characters) {
    const std::u16string pattern = u"Grüße aus Köln, naïve café\t\U0001D11E done.\r\n";
    std::u16string text;
    while (text.size() < characters) text += pattern;
    text.resize(characters);
    return text;
}

}  // namespace

int main(int argc, char** argv) {
    const long characters = argc > 1 ? std::atol(argv[1]) : 10'000L;
    const long rounds = argc > 2 ? std::atol(argv[2]) : 2'000L;
    if (characters <= 0 || rounds <= 0) {
        std::fprintf(stderr, "usage: bench_output [characters > 0] [rounds > 0]\n");
        return 2;
    }
    const std::u16string text = SampleText(static_cast<std::size_t>(characters));

    std::size_t eventCount = 0;
    const auto start = Clock::now();
    for (long round = 0; round < rounds; ++round) {
        eventCount += orvello::BuildTextEvents(text).size();
    }
    const auto elapsed = Clock::now() - start;
    const double microseconds =
        std::chrono::duration<double, std::micro>(elapsed).count() / static_cast<double>(rounds);

    std::printf("text:                  %ld UTF-16 code units\n", characters);
    std::printf("events per text:       %zu\n", eventCount / static_cast<std::size_t>(rounds));
    std::printf("build event list:      %.1f us per text (%.2f ns per code unit), %ld rounds\n",
                microseconds, microseconds * 1000.0 / static_cast<double>(characters), rounds);
    return 0;
}
