// orvello-transcribe: transcribes WAV recordings with the speech engine.
//
//   orvello-transcribe [--model DIR] FILE.wav [FILE.wav ...]
//
// Each file must be 16-bit PCM, mono, 16 kHz. One line of UTF-8 text is
// printed per file, an empty line when nothing was recognised (also for a file
// without samples). A file longer than 30 s is transcribed in the same parts
// as a recording of it, and each part only up to a short margin after its
// last sound, so the text is what Orvello would type. Without
// --model the model is looked for beside the program, as Orvello does; when
// none of those places holds a model, the small English demo model in
// `demo-model` beside the program is used, if it is there. Any
// error is printed as "Error: <message>" and ends the program with status 1.
#include <algorithm>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/model_cache.h"
#include "engine/model_files.h"
#include "engine/parakeet_engine.h"
#include "engine/transcription_chunks.h"
#include "tools/wav_file.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace orvello {
namespace {

struct Arguments {
    fs::path modelDirectory;
    std::vector<fs::path> files;
};

const char* const kUsage = "usage: orvello-transcribe [--model DIR] FILE.wav [FILE.wav ...]";

// Throws std::invalid_argument with the usage text when the arguments are wrong.
Arguments ParseArguments(const std::vector<fs::path>& words) {
    Arguments arguments;
    for (size_t i = 0; i < words.size(); ++i) {
        if (words[i] == "--model") {
            if (i + 1 == words.size()) throw std::invalid_argument(kUsage);
            arguments.modelDirectory = words[++i];
        } else {
            arguments.files.push_back(words[i]);
        }
    }
    if (arguments.files.empty()) throw std::invalid_argument(kUsage);
    return arguments;
}

// The build puts the demo model beside the tool under a name of its own, so that a real model
// placed where Orvello looks for it always wins.
fs::path DefaultOrDemoModelDirectory() {
    const fs::path found = DefaultModelDirectory();
    const fs::path demo = ExecutableDirectory() / "demo-model";
    return !HoldsInt8Model(found) && HoldsInt8Model(demo) ? demo : found;
}

fs::path ChooseModelDirectory(const fs::path& requested) {
    const fs::path directory = requested.empty() ? DefaultOrDemoModelDirectory() : requested;
    if (!PathExists(directory))
        throw std::runtime_error("Model directory not found: " + PathForMessage(directory));
    return directory;
}

// One "Note: " line on standard error for each line of the engine's load note.
void PrintNotes(const std::string& notes) {
    size_t start = 0;
    while (start < notes.size()) {
        const size_t end = std::min(notes.find('\n', start), notes.size());
        std::fprintf(stderr, "Note: %s\n", notes.substr(start, end - start).c_str());
        start = end + 1;
    }
}

// The files are taken as recorded, without the low-cut filter and noise gate; their speech ends
// where a recording's without conditioning would.
const ConditioningSettings kRecordedAsIs{.enabled = false};

int Run(const std::vector<fs::path>& words) {
    const Arguments arguments = ParseArguments(words);
    ParakeetEngine engine(ChooseModelDirectory(arguments.modelDirectory),
                          DefaultModelCacheFolder());
    PrintNotes(engine.loadNote());
    for (const fs::path& file : arguments.files) {
        const std::string text = TranscribeInChunks(
            ToFloatSamples(ReadWav16kMono(file)), kRecordedAsIs,
            [&engine](const std::vector<float>& chunk) { return engine.Transcribe(chunk); });
        std::fwrite(text.data(), 1, text.size(), stdout);
        std::fputc('\n', stdout);
        std::fflush(stdout);
    }
    return 0;
}

int RunReportingErrors(const std::vector<fs::path>& words) {
    try {
        return Run(words);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "Error: %s\n", error.what());
        return 1;
    }
}

}  // namespace
}  // namespace orvello

#ifdef _WIN32
// Wide arguments keep file names in any script intact.
int wmain(int argc, wchar_t** argv) {
    _setmode(_fileno(stdout), _O_BINARY);  // UTF-8 bytes and "\n" exactly as written
    std::vector<std::filesystem::path> words(argv + 1, argv + argc);
    return orvello::RunReportingErrors(words);
}
#else
int main(int argc, char** argv) {
    std::vector<std::filesystem::path> words(argv + 1, argv + argc);
    return orvello::RunReportingErrors(words);
}
#endif
