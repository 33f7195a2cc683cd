#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "commands/command_file_format.h"

namespace orvello {
namespace {

// SplitMix64: the same sequence on every platform and standard library, so a
// failing case can be replayed from its number.
class DeterministicRandom {
public:
    explicit DeterministicRandom(std::uint64_t seed) : state_(seed) {}

    std::uint64_t Next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }

    std::size_t Below(std::size_t bound) { return bound == 0 ? 0 : Next() % bound; }

private:
    std::uint64_t state_;
};

std::vector<std::string> ValidSeedFiles() {
    VoiceCommand chord = MakeNewVoiceCommand();
    chord.phrase = u"save|store it";
    chord.steps[0] = KeyStep{.ctrl = true, .vk = 0x53};
    VoiceCommand text;
    text.phrase = u"\u00D6ffnen \U0001F600";
    text.type = ActionType::InsertText;
    text.text_body = u"Dear \"{clipboard}\",\r\n\\{date}";
    VoiceCommand system;
    system.enabled = false;
    system.type = ActionType::SysCommand;
    system.sys_cmd_id = SystemCommandId::SetClipboardText;
    system.sys_cmd_arg = u"\u65E5\u672C";
    const std::string full = FormatCommandFile({chord, text, system});
    std::string withLf;
    for (char c : full) {
        if (c != '\r') withLf.push_back(c);
    }
    return {full,
            withLf,
            "\xEF\xBB\xBF" + full,
            FormatCommandFile({chord}),
            "[{}]",
            "[{\"type\": 2.5, \"steps\": {}, \"vk\": true}]"};
}

// Fragments that steer mutations towards the parser's and the readers' edges.
const std::vector<std::string> kInsertions = {
    "\"",
    "{",
    "}",
    "[",
    "]",
    ",",
    ":",
    "\\",
    "\\u",
    "\\ud800",
    "\xC3",
    "\xFF",
    "\xEF\xBB\xBF",
    "1",
    "-",
    ".5",
    "e9",
    "true",
    "null",
    "\"steps\": ",
    "{}",
    "\r\n",
    "\t",
    std::string(1, '\0'),
};

void FlipByte(std::string& text, DeterministicRandom& random) {
    if (text.empty()) return;
    text[random.Below(text.size())] ^= static_cast<char>(1 + random.Below(255));
}

void Truncate(std::string& text, DeterministicRandom& random) {
    text.resize(random.Below(text.size() + 1));
}

void Insert(std::string& text, DeterministicRandom& random) {
    const std::string& fragment = kInsertions[random.Below(kInsertions.size())];
    text.insert(random.Below(text.size() + 1), fragment);
}

void Erase(std::string& text, DeterministicRandom& random) {
    if (text.empty()) return;
    const std::size_t start = random.Below(text.size());
    text.erase(start, 1 + random.Below(8));
}

std::string Mutate(std::string text, DeterministicRandom& random) {
    const std::size_t mutationCount = 1 + random.Below(3);
    for (std::size_t round = 0; round < mutationCount; ++round) {
        switch (random.Below(4)) {
            case 0:
                FlipByte(text, random);
                break;
            case 1:
                Truncate(text, random);
                break;
            case 2:
                Insert(text, random);
                break;
            default:
                Erase(text, random);
                break;
        }
    }
    return text;
}

TEST(CommandFileFuzzTest, MutatedFilesEitherLoadOrReportCorruption) {
    constexpr int kCaseCount = 10000;
    const std::vector<std::string> seeds = ValidSeedFiles();
    DeterministicRandom random(20240611);
    int loaded = 0;
    int corrupted = 0;
    for (int caseNumber = 0; caseNumber < kCaseCount; ++caseNumber) {
        const std::string& seed = seeds[static_cast<std::size_t>(caseNumber) % seeds.size()];
        const std::string mutated = Mutate(seed, random);
        const CommandFileLoadResult result = ParseCommandFile(mutated);
        SCOPED_TRACE("case " + std::to_string(caseNumber));
        if (result.status == CommandFileLoadStatus::Corrupted) {
            ++corrupted;
            ASSERT_TRUE(result.commands.empty());
            ASSERT_EQ(result.loadError, kCorruptedCommandFileMessage);
            continue;
        }
        ASSERT_TRUE(result.loadError.empty());
        if (result.status == CommandFileLoadStatus::NotAnArray) {
            ASSERT_TRUE(result.commands.empty());
            continue;
        }
        ++loaded;
        // Whatever loaded is written and read back unchanged.
        ASSERT_EQ(ParseCommandFile(FormatCommandFile(result.commands)).commands, result.commands);
    }
    RecordProperty("loaded", loaded);
    RecordProperty("corrupted", corrupted);
    // Both outcomes must be reached often, or the mutations test nothing.
    EXPECT_GT(loaded, kCaseCount / 20);
    EXPECT_GT(corrupted, kCaseCount / 4);
}

}  // namespace
}  // namespace orvello
