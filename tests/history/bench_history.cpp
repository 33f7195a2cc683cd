// Measures what keeping the history costs a dictation: saving a full history file (100 entries)
// after a result, as Orvello does right after typing it: the text made, written to the temporary
// file, flushed to disk and renamed over the old file. Prints figures, checks nothing.
//   bench_history [rounds]   (default 50)
// Each figure is one line "figure: what | length | measured | reference".
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "history/history_file_format.h"
#include "history/history_file_win.h"

namespace orvello {
namespace {

using Clock = std::chrono::steady_clock;

std::deque<HistoryEntry> FullHistory(std::size_t textUnits) {
    const std::u16string pattern = u"Grüße aus Köln, a sentence as dictated. ";
    std::u16string text;
    while (text.size() < textUnits) text += pattern;
    text.resize(textUnits);
    std::deque<HistoryEntry> entries;
    for (std::size_t index = 0; index < kHistoryCapacity; ++index) {
        entries.push_back({1'797'000'000 + std::int64_t(index), ResultOutcome::Typed, text});
    }
    return entries;
}

void MeasureSaves(const std::wstring& path, std::size_t textUnits, int rounds) {
    const std::deque<HistoryEntry> entries = FullHistory(textUnits);
    std::vector<double> milliseconds;
    for (int round = 0; round < rounds; ++round) {
        const auto start = Clock::now();
        if (!SaveHistoryFile(path, entries)) {
            std::fprintf(stderr, "saving failed: error %lu\n", ::GetLastError());
            return;
        }
        milliseconds.push_back(
            std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    std::sort(milliseconds.begin(), milliseconds.end());
    std::printf(
        "figure: save a full history, median of %d | 100 texts of %zu characters, %zu "
        "bytes | %.2f ms (slowest %.2f ms) | -\n",
        rounds, textUnits, FormatHistoryFile(entries).size(), milliseconds[milliseconds.size() / 2],
        milliseconds.back());
}

}  // namespace
}  // namespace orvello

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 50;
    if (rounds <= 0) {
        std::fprintf(stderr, "usage: bench_history [rounds > 0]\n");
        return 2;
    }
    // A file of its own beside the real one, removed afterwards.
    const std::wstring path = orvello::GetHistoryFilePath() + L".bench";
    for (const std::size_t textUnits : {100u, 2'000u})
        orvello::MeasureSaves(path, textUnits, rounds);
    ::DeleteFileW(path.c_str());
    return 0;
}
