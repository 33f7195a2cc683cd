// Measures the per-keystroke cost of the trigger path: decoding a raw keyboard record of a known
// keyboard (warm name cache) and passing it through the trigger tracker.
//   bench_trigger [event count]   (default 10,000,000)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "replay_raw_input.h"
#include "trigger/raw_keyboard_reader.h"
#include "trigger/trigger_tracker.h"

namespace {

using namespace orvello;
using Clock = std::chrono::steady_clock;

double nanosecondsPerEvent(Clock::duration elapsed, long events) {
    return static_cast<double>(
               std::chrono::duration_cast<std::chrono::nanoseconds>(elapsed).count()) /
           static_cast<double>(events);
}

}  // namespace

int main(int argc, char** argv) {
    const long eventCount = argc > 1 ? std::atol(argv[1]) : 10'000'000L;
    if (eventCount <= 0) {
        std::fprintf(stderr, "usage: bench_trigger [event count > 0]\n");
        return 2;
    }

    auto source = std::make_unique<test::ReplayRawInputSource>(test::typicalKeystrokes());
    RawKeyboardReader reader(std::move(source));
    test::CountingOwner owner;
    test::SilentMessages messages;
    test::CountingKeyMap keyMap;
    TriggerTracker tracker(reader, owner, messages);
    tracker.setKeyMapDisplay(&keyMap);
    tracker.setDictationTrigger({{ModifierKey::RightCtrl}, true, {}});
    tracker.setCommandTrigger({{ModifierKey::RightCtrl, ModifierKey::RightAlt}, true, {}});

    long decodedKeys = 0;
    for (RawInputHandle input = 0; input < 1000; ++input) {  // warm the name cache
        if (const auto event = reader.decode(input)) tracker.onKeyEvent(*event);
    }

    const auto decodeStart = Clock::now();
    for (long i = 0; i < eventCount; ++i) {
        if (const auto event = reader.decode(static_cast<RawInputHandle>(i))) {
            decodedKeys += static_cast<long>(event->key);
        }
    }
    const auto decodeElapsed = Clock::now() - decodeStart;

    const auto fullStart = Clock::now();
    for (long i = 0; i < eventCount; ++i) {
        if (const auto event = reader.decode(static_cast<RawInputHandle>(i)))
            tracker.onKeyEvent(*event);
    }
    const auto fullElapsed = Clock::now() - fullStart;

    std::printf("events:                 %ld\n", eventCount);
    std::printf("decode only:            %.1f ns/event\n",
                nanosecondsPerEvent(decodeElapsed, eventCount));
    std::printf("decode + onKeyEvent:    %.1f ns/event\n",
                nanosecondsPerEvent(fullElapsed, eventCount));
    std::printf(
        "(checks: key sum %ld, starts %ld, command starts %ld, stops %ld, keys shown %zu)\n",
        decodedKeys, owner.starts, owner.commandStarts, owner.stops, keyMap.keysShown);
    return 0;
}
