#pragma once
// Windows only: the main window's side of speech recognition. RecordingControl owns the
// recognition service, builds it again on "Reload Engine", hands it the DSP settings, starts and
// stops push-to-talk recordings for the trigger tracker, handles the messages the service's
// callbacks post (log lines, the overlay's level graph and its hiding) and runs the microphone
// input test with its level meter. User-interface thread only.
#include <windows.h>

#include <atomic>
#include <cstddef>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <thread>

#include "app/input_device_list.h"
#include "app/settings.h"
#include "app/text_message_win.h"
#include "controls/overlay_window_win.h"
#include "engine/recognition_service.h"

namespace orvello {

// What recording control uses of the main window.
class RecordingHost {
public:
    virtual ~RecordingHost() = default;

    // The window that receives the application messages of the service and the input test.
    [[nodiscard]] virtual HWND MessageWindow() const = 0;
    // The "Test Input" button and the progress bar of its level meter; null while absent.
    [[nodiscard]] virtual HWND TestInputButton() const = 0;
    [[nodiscard]] virtual HWND TestLevelMeter() const = 0;

    // The log area; the text carries its own "\r\n".
    virtual void AppendLog(std::wstring_view text) = 0;

    // Forgets the active trigger and every held key without asking for a stop: used while no
    // recording can be running any more.
    virtual void ResetTriggerWithoutStopRequest() = 0;
    // Whether the trigger that is active now is the command trigger.
    [[nodiscard]] virtual bool ActiveTriggerIsCommand() const = 0;

    // The wave-input devices as the device list shows them, and its selection.
    [[nodiscard]] virtual std::span<const InputDeviceEntry> InputDevices() const = 0;
    [[nodiscard]] virtual std::optional<std::size_t> SelectedInputDevice() const = 0;

    // The DSP switch, the noise gate and the low cut are read from here.
    [[nodiscard]] virtual const Settings& CurrentSettings() const = 0;
};

class RecordingControl {
public:
    // `modelDirectory` empty: the default search beside the program, as the program uses it.
    RecordingControl(RecordingHost& host, COverlayWindow& overlay, fs::path modelDirectory = {});
    RecordingControl(const RecordingControl&) = delete;
    RecordingControl& operator=(const RecordingControl&) = delete;
    // Ends the input test's thread; the service's destructor cancels it and waits for its worker.
    ~RecordingControl();

    // Discards the service and builds and loads a new one. With `log`, reports "Engine ready."
    // or "Engine load failed: " and the error. False, with no service, when loading failed.
    bool reload(bool log);
    // "Model: " with the loaded model's name and the folder it came from, "\r\n"; empty while no
    // engine is loaded.
    [[nodiscard]] std::wstring modelLine() const;
    // The folder the engine loads from, or would load from on the next reload.
    [[nodiscard]] fs::path modelFolder() const;
    // Why the last reload found no usable ONNX Runtime (which file is missing, what to install);
    // empty when the runtime loaded or the failure lay elsewhere.
    [[nodiscard]] const std::string& runtimeProblem() const { return runtimeProblem_; }
    // Hands the DSP settings to the service; they apply from its next recording.
    void applyDspSettings();
    // Cancels the service's recording and queued transcriptions, when the window goes away.
    void cancelRecognition();
    // "Faster Engine Start" was turned off: the model cache is deleted now when no engine is
    // loaded, else by the next load (a loaded engine maps its files), which releases the engine
    // first.
    void deleteModelCache();

    // The trigger became held or was released. startRequest: true when the recording started.
    bool startRequest();
    void stopRequest();
    // The running recording goes on hands-free: the overlay shows `hint` over its graph.
    void showHandsFree(std::u16string hint);

    // The "Test Input" button; stopInputTest also when the window goes away.
    void toggleInputTest();
    void stopInputTest();

    // Handles WM_APP_STATUS_TEXT (its text from texts()), WM_APP_AUDIO_LEVEL, WM_APP_CAPTURE_DONE,
    // WM_APP_SESSION_DONE and WM_APP_TEST_LEVEL (each returns 0); false for any other message.
    [[nodiscard]] bool handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void onStatusText();
    void onDraftText();
    void onAudioLevel(WPARAM rawLevel);
    void onCaptureDone();
    void onSessionDone() {}
    // Moves the meter while a test runs; ignored otherwise.
    void onTestLevel(WPARAM levelPercent);

    // The texts the service's callbacks post to the message window: status lines, taken here, and
    // recognised texts, which the routing takes.
    [[nodiscard]] TextMailbox& texts() const { return *texts_; }
    // Null while no engine could be set up.
    [[nodiscard]] RecognitionService* service() const { return service_.get(); }
    // The loaded model's note as log lines, each ending in "\r\n"; empty without a note.
    [[nodiscard]] std::wstring ModelLoadNoteLines() const;
    // Whether the command trigger started the latest recording; the routing reads it.
    [[nodiscard]] bool recordingIsCommand() const { return recordingIsCommand_; }
    [[nodiscard]] bool inputTestRunning() const { return testRunning_; }

private:
    [[nodiscard]] std::optional<std::uint32_t> SelectedDevice() const;
    void PushDspSettings(RecognitionService& service) const;
    void LogLoadedModel();
    void ReportLoadFailure(bool log, std::string_view message);
    void StartInputTest(std::uint32_t device);
    void SetTestButtonText(const wchar_t* text) const;
    void SetTestLevel(WPARAM levelPercent) const;

    RecordingHost& host_;
    COverlayWindow& overlay_;
    const fs::path modelDirectory_;
    const SharedTextMailbox texts_ = std::make_shared<TextMailbox>();
    std::unique_ptr<RecognitionService> service_;
    std::string runtimeProblem_;
    bool recordingIsCommand_ = false;

    bool testRunning_ = false;
    std::atomic<bool> testStop_{false};  // read by the test thread once per pass
    std::thread testThread_;
};

}  // namespace orvello
