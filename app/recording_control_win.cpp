#include "app/recording_control_win.h"

#include <commctrl.h>

#include <algorithm>
#include <exception>
#include <string>
#include <utility>

#include "app/app_messages.h"
#include "app/dsp_settings.h"
#include "app/recording_callbacks_win.h"
#include "app/recording_device.h"
#include "app/text_message_win.h"
#include "audio/input_test_win.h"
#include "audio/wave_in_device_win.h"
#include "engine/engine_error.h"
#include "engine/model_cache.h"
#include "engine/model_files.h"
#include "engine/ort_library.h"

namespace orvello {

namespace {

constexpr std::wstring_view kEngineReadyText = L"Engine ready.\r\n";
constexpr std::wstring_view kEngineLoadFailedText = L"Engine load failed: ";
constexpr std::wstring_view kModelCacheDeletedText = L"Model cache deleted.\r\n";
constexpr std::wstring_view kModelCacheInUseText =
    L"The model cache is deleted when the engine is next loaded (Reload Engine or the next "
    L"start).\r\n";
constexpr const wchar_t* kTestInputText = L"Test Input";
constexpr const wchar_t* kStopTestText = L"Stop Test";

std::unique_ptr<WaveInDevice> MakeWaveInDevice() {
    return std::make_unique<WinWaveInDevice>();
}

}  // namespace

RecordingControl::RecordingControl(RecordingHost& host, COverlayWindow& overlay,
                                   fs::path modelDirectory)
    : host_(host), overlay_(overlay), modelDirectory_(std::move(modelDirectory)) {}

RecordingControl::~RecordingControl() {
    // Only the thread: the host and its controls may already be on their way out.
    testStop_ = true;
    if (testThread_.joinable()) testThread_.join();
}

bool RecordingControl::reload(bool log) {
    if (overlay_.State() == OverlayState::Listening) overlay_.Hide();
    host_.ResetTriggerWithoutStopRequest();
    if (service_) {
        service_->Cancel();
        service_.reset();
    }
    runtimeProblem_.clear();
    const bool cached = host_.CurrentSettings().fasterEngineStart;
    if (!cached) (void)DeleteModelCache(DefaultModelCacheFolder());
    try {
        auto fresh = std::make_unique<RecognitionService>(
            RecognitionConfig{
                .modelDirectory = modelDirectory_,
                .modelCacheFolder = cached ? DefaultModelCacheFolder() : fs::path(),
                .onModelCacheNote = MakeStatusLineCallback(host_.MessageWindow(), texts_),
                .conditioning = {}},
            MakeWaveInDevice);
        fresh->EnsureModelLoaded();
        PushDspSettings(*fresh);
        service_ = std::move(fresh);
    } catch (const RuntimeUnavailableError& error) {
        runtimeProblem_ = error.what();
        ReportLoadFailure(log, runtimeProblem_);
        return false;
    } catch (...) {
        ReportLoadFailure(log, CurrentErrorMessage());
        return false;
    }
    if (log) LogLoadedModel();
    return true;
}

void RecordingControl::LogLoadedModel() {
    host_.AppendLog(kEngineReadyText);
    host_.AppendLog(modelLine());
    const std::wstring note = ModelLoadNoteLines();
    if (!note.empty()) host_.AppendLog(note);
}

// One log line for each line of the engine's load note.
std::wstring RecordingControl::ModelLoadNoteLines() const {
    const std::string note = service_ ? service_->ModelLoadNote() : std::string();
    std::wstring lines;
    for (std::size_t start = 0; start < note.size();) {
        const std::size_t end = std::min(note.find('\n', start), note.size());
        lines += AnsiToWide(note.substr(start, end - start)) + L"\r\n";
        start = end + 1;
    }
    return lines;
}

// A loaded engine maps the cache's weights, which Windows does not let go: the cache is deleted by
// the next load, which releases the engine first.
void RecordingControl::deleteModelCache() {
    if (service_) {
        host_.AppendLog(kModelCacheInUseText);
        return;
    }
    (void)DeleteModelCache(DefaultModelCacheFolder());
    host_.AppendLog(kModelCacheDeletedText);
}

std::wstring RecordingControl::modelLine() const {
    if (!service_) return {};
    return L"Model: " + AnsiToWide(service_->ModelDescription()) + L", " +
           service_->ModelDirectory().wstring() + L"\r\n";
}

fs::path RecordingControl::modelFolder() const {
    if (service_) return service_->ModelDirectory();
    return modelDirectory_.empty() ? DefaultModelDirectory() : modelDirectory_;
}

void RecordingControl::ReportLoadFailure(bool log, std::string_view message) {
    overlay_.Hide();
    if (!log) return;
    std::wstring line(kEngineLoadFailedText);
    line += AnsiToWide(message);
    line += L"\r\n";
    host_.AppendLog(line);
}

void RecordingControl::applyDspSettings() {
    if (service_) PushDspSettings(*service_);
}

void RecordingControl::PushDspSettings(RecognitionService& service) const {
    ConditioningSettings conditioning = service.GetConditioning();
    ApplyDspSettingsTo(host_.CurrentSettings(), conditioning);
    service.SetConditioning(conditioning);
}

void RecordingControl::cancelRecognition() {
    if (service_) service_->Cancel();
}

std::optional<std::uint32_t> RecordingControl::SelectedDevice() const {
    return RecordingDeviceNumber(host_.InputDevices(), host_.SelectedInputDevice());
}

bool RecordingControl::startRequest() {
    if (!service_ || service_->IsBusy()) return false;
    const std::optional<std::uint32_t> device = SelectedDevice();
    if (!device) return false;
    recordingIsCommand_ = host_.ActiveTriggerIsCommand();
    overlay_.ShowListening();
    try {
        service_->StartRecording(*device, MakeRecordingCallbacks(host_.MessageWindow(), texts_));
    } catch (...) {
        overlay_.Hide();
        host_.AppendLog(AnsiToWide(CurrentErrorMessage()) + L"\r\n");
        return false;
    }
    return true;
}

void RecordingControl::stopRequest() {
    // Blocks until the capture has ended; the transcription goes on on the service's worker.
    if (service_ && service_->IsRecording()) service_->StopRecording();
}

void RecordingControl::showHandsFree(std::u16string hint) {
    if (service_ && service_->IsRecording()) overlay_.ShowHandsFree(std::move(hint));
}

bool RecordingControl::handleMessage(UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_APP_STATUS_TEXT:
            onStatusText();
            return true;
        case WM_APP_AUDIO_LEVEL:
            onAudioLevel(wParam);
            return true;
        case WM_APP_CAPTURE_DONE:
            onCaptureDone();
            return true;
        case WM_APP_SESSION_DONE:
            onSessionDone();
            return true;
        case WM_APP_TEST_LEVEL:
            onTestLevel(wParam);
            return true;
        case WM_APP_DRAFT_TEXT:
            onDraftText();
            return true;
        default:
            return false;
    }
}

void RecordingControl::onStatusText() {
    const std::optional<std::wstring> text = texts_->Take(WM_APP_STATUS_TEXT);
    if (text && !text->empty()) host_.AppendLog(*text + L"\r\n");
}

// Drafts run whether or not their text is shown; a text that arrives after the capture ended
// finds the overlay hidden and stays unseen.
void RecordingControl::onDraftText() {
    const std::optional<std::wstring> text = texts_->Take(WM_APP_DRAFT_TEXT);
    if (!text || !host_.CurrentSettings().showTextWhileSpeaking) return;
    if (overlay_.State() != OverlayState::Listening) return;
    overlay_.ShowLiveText(std::u16string(text->begin(), text->end()));
}

void RecordingControl::onAudioLevel(WPARAM rawLevel) {
    overlay_.PushLevel(rawLevel);
}

void RecordingControl::onCaptureDone() {
    overlay_.Hide();
}

void RecordingControl::onTestLevel(WPARAM levelPercent) {
    // Levels the test thread posted just before it was stopped arrive after the meter was reset;
    // they must not bring a stopped meter back to life.
    if (testRunning_) SetTestLevel(levelPercent);
}

void RecordingControl::toggleInputTest() {
    if (testRunning_) {
        stopInputTest();
        SetTestLevel(0);
        return;
    }
    if (const std::optional<std::uint32_t> device = SelectedDevice()) StartInputTest(*device);
}

void RecordingControl::StartInputTest(std::uint32_t device) {
    testRunning_ = true;
    testStop_ = false;
    SetTestButtonText(kStopTestText);
    try {
        testThread_ =
            std::thread(RunInputTest, UINT(device), host_.MessageWindow(), std::cref(testStop_));
    } catch (...) {
        // No thread, no test: the button must not claim one runs.
        testRunning_ = false;
        SetTestButtonText(kTestInputText);
        throw;
    }
}

void RecordingControl::stopInputTest() {
    if (!testRunning_) return;
    testStop_ = true;
    if (testThread_.joinable()) testThread_.join();
    testRunning_ = false;
    SetTestButtonText(kTestInputText);
    SetTestLevel(0);
}

void RecordingControl::SetTestButtonText(const wchar_t* text) const {
    if (HWND button = host_.TestInputButton()) ::SetWindowTextW(button, text);
}

void RecordingControl::SetTestLevel(WPARAM levelPercent) const {
    if (HWND meter = host_.TestLevelMeter(); meter && ::IsWindow(meter))
        ::SendMessageW(meter, PBM_SETPOS, levelPercent, 0);
}

}  // namespace orvello
