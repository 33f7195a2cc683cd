// Not a test: a day of dictation in a row through the recognition service on a speech model, on
// synthetic devices that deliver as fast as the capture takes: short recordings, long ones cut
// into parts, cancelled ones and ones whose device cannot be opened, in a fixed rotation. Prints
// resident memory, threads and open handles after the first 50 recordings and after the last,
// and every recording that ended otherwise than its kind should (a failing one without its
// error, any other with one).
// usage: soak_service SPEECH_MODEL_DIRECTORY [RECORDINGS]
// Each figure is one line "figure: what | recordings | measured | reference".
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "tests/audio/scripted_wave_in_device.h"
#include "tests/engine/bench_service_support.h"

namespace orvello {
namespace {

using namespace bench;

enum class Kind { Short, Long, Cancelled, Failing };

// Of every ten recordings: seven short (2 s), one long (65 s: three parts), one cancelled after
// its audio and one whose device cannot be opened.
Kind KindOf(int recording) {
    switch (recording % 10) {
        case 3:
            return Kind::Long;
        case 6:
            return Kind::Cancelled;
        case 9:
            return Kind::Failing;
        default:
            return Kind::Short;
    }
}

struct Usage {
    long residentKb = 0, threads = 0, handles = 0;
};

Usage MeasureUsage() {
    long handles = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator("/proc/self/fd")) ++handles;
    return {StatusKilobytes("VmRSS:"), StatusKilobytes("Threads:"), handles - 1};  // not the walk's
}

class Soak {
public:
    explicit Soak(const fs::path& model)
        : devices_(SpeechLikeTable(), 0),
          service_({.modelDirectory = model}, [this] { return MakeDevice(); }) {
        service_.EnsureModelLoaded();
    }

    // Runs one recording to its end; false when it ended otherwise than its kind should.
    bool Record(Kind kind) {
        failing_ = kind == Kind::Failing;
        devices_.SetRecording(kind == Kind::Long ? 65 * 16'000 : 2 * 16'000, 0);
        FinishedSignal finished;
        std::atomic<bool> error{false};
        RecognitionCallbacks callbacks = finished.Callbacks();
        callbacks.onStatus = [&error](const std::string& status) {
            if (status.rfind("Error", 0) == 0) error = true;
        };
        service_.StartRecording(0, callbacks);
        if (kind == Kind::Failing) {
            finished.Wait();
        } else {
            devices_.WaitUntilCaptured();
            kind == Kind::Cancelled ? service_.Cancel() : service_.StopRecording();
            if (kind != Kind::Cancelled) finished.Wait();
        }
        while (service_.IsBusy()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return error == (kind == Kind::Failing);
    }

private:
    std::unique_ptr<WaveInDevice> MakeDevice() {
        if (!failing_) return devices_.Factory()();
        auto device = std::make_unique<ScriptedWaveInDevice>();
        device->openResult = 2;  // MMSYSERR_BADDEVICEID: the microphone was unplugged
        return device;
    }

    DeviceMaker devices_;
    bool failing_ = false;
    RecognitionService service_;  // last: its threads use the members above
};

void PrintUsage(const char* when, int recordings, const Usage& usage, const Usage* first) {
    std::printf("figure: resident memory %s | %d | %.1f MiB | %s\n", when, recordings,
                usage.residentKb / 1024.0,
                first ? ("after the first 50: " + std::to_string(first->residentKb / 1024) +
                         " MiB; goal within 5 % or 20 MiB")
                            .c_str()
                      : "-");
    std::printf("figure: threads, open handles %s | %d | %ld, %ld | %s\n", when, recordings,
                usage.threads, usage.handles,
                first ? ("after the first 50: " + std::to_string(first->threads) + ", " +
                         std::to_string(first->handles))
                            .c_str()
                      : "-");
    std::fflush(stdout);
}

}  // namespace
}  // namespace orvello

int main(int argc, char** argv) {
    using namespace orvello;
    if (argc < 2) {
        std::fprintf(stderr, "usage: soak_service SPEECH_MODEL_DIRECTORY [RECORDINGS]\n");
        return 2;
    }
    const int recordings = argc > 2 ? std::atoi(argv[2]) : 1000;
    Soak soak(argv[1]);
    Usage first;
    int wrong = 0;
    const auto start = bench::Clock::now();
    for (int i = 0; i < recordings; ++i) {
        if (!soak.Record(KindOf(i))) {
            ++wrong;
            std::printf("wrong: recording %d (kind %d) ended otherwise than it should\n", i,
                        int(KindOf(i)));
        }
        if (i + 1 == 50) PrintUsage("after 50", 50, first = MeasureUsage(), nullptr);
    }
    PrintUsage("after the last", recordings, MeasureUsage(), &first);
    std::printf("figure: recordings that ended wrongly | %d | %d | goal 0\n", recordings, wrong);
    std::printf("figure: soak time | %d | %.0f s | -\n", recordings,
                bench::MillisecondsSince(start) / 1000.0);
    return 0;
}
