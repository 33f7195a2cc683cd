// The demo model in models/demo on speech synthesized with espeak-ng while the
// test runs: the real engine and ONNX Runtime must return the spoken words.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "engine/model_files.h"
#include "engine/parakeet_engine.h"
#include "tools/wav_file.h"

#ifdef _WIN32
#include "tests/support/unix_command.h"
#endif

namespace orvello {
namespace {

// Wine reaches the Unix file system as drive Z:.
fs::path FromUnixPath(const std::string& unixPath) {
#ifdef _WIN32
    return fs::path("Z:" + unixPath);
#else
    return fs::path(unixPath);
#endif
}

fs::path DemoModelDirectory() {
    return FromUnixPath(std::string(ORVELLO_SOURCE_DIR) + "/models/demo");
}

std::string ShellWord(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

[[nodiscard]] int RunShell(const std::string& command) {
#ifdef _WIN32
    return test::RunUnixCommand(command);
#else
    return std::system(command.c_str());
#endif
}

struct Utterance {
    std::string voice;  // espeak-ng voice, with an optional "+variant"
    std::string text;
};

// espeak-ng speaks at 22,050 Hz; sox makes 16 kHz 16-bit mono of it.
std::vector<float> Speak(const Utterance& utterance) {
    const std::string folder = std::string(ORVELLO_BINARY_DIR) + "/demo-model-speech";
    const std::string wav = folder + "/utterance.wav";
    const std::string command = "mkdir -p " + ShellWord(folder) + " && rm -f " + ShellWord(wav) +
                                " && espeak-ng -v " + ShellWord(utterance.voice) + " --stdout " +
                                ShellWord(utterance.text) + " | sox -t wav - -r 16000 -b 16 " +
                                "-c 1 -e signed-integer " + ShellWord(wav);
    if (RunShell(command) != 0) ADD_FAILURE() << "could not synthesize: " << command;
    return ToFloatSamples(ReadWav16kMono(FromUnixPath(wav)));
}

class DemoModel : public testing::Test {
protected:
    void ExpectHeard(const std::vector<Utterance>& utterances) {
        for (const Utterance& utterance : utterances) {
            EXPECT_EQ(engine_.Transcribe(Speak(utterance)), utterance.text)
                << "spoken by " << utterance.voice;
        }
    }

    ParakeetEngine engine_{DemoModelDirectory()};
};

TEST_F(DemoModel, HearsCommandPhrases) {
    ExpectHeard({{"en-us", "open browser"},
                 {"en-gb", "volume up"},
                 {"en-us+m3", "next track"},
                 {"en-gb-x-rp+f2", "new line"},
                 {"en-us+f5", "undo"},
                 {"en-029+m6", "copy to clipboard"}});
}

TEST_F(DemoModel, HearsSentencesAndDigits) {
    ExpectHeard({{"en-us", "hello world"},
                 {"en-gb+m2", "please send the report tomorrow"},
                 {"en-us+f3", "three five seven nine"},
                 {"en-gb-scotland", "the weather is very cold today"}});
}

TEST_F(DemoModel, SilenceGivesNoText) {
    EXPECT_EQ(engine_.Transcribe(std::vector<float>(16000, 0.0f)), "");
}

// The default search beside the program only picks a directory with the int8
// file names; the demo model carries them so that it is found there.
TEST(DemoModelFiles, DefaultSearchFindsTheDemoModelBesideTheProgram) {
    const fs::path besideProgram = ExecutableDirectory() / "models";
    fs::remove_all(besideProgram);
    fs::copy(DemoModelDirectory(), besideProgram, fs::copy_options::recursive);
    EXPECT_EQ(DefaultModelDirectory(), besideProgram);
    ParakeetEngine engine(DefaultModelDirectory());
    EXPECT_EQ(engine.Transcribe(Speak({"en-us", "paste"})), "paste");
    fs::remove_all(besideProgram);
}

}  // namespace
}  // namespace orvello
