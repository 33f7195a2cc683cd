// The Wine test facilities that later tests build on, each shown to work:
// keys on the virtual keyboard arrive as Raw Input, SendInput types Unicode,
// the virtual microphone records exactly what is fed to it, and window
// captures include child controls.
#include <windows.h>
// after windows.h, which it needs
#include <mmsystem.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/support/test_window.h"
#include "tests/support/desktop.h"
#include "tests/support/unix_command.h"
#include "tests/support/window_capture.h"
#include "tools/wav_file.h"

namespace orvello::test {
namespace {

struct RawKey {
    USHORT vkey, makeCode, flags;
    std::wstring device;
};

std::wstring DeviceName(HANDLE device) {
    UINT chars = 0;
    GetRawInputDeviceInfoW(device, RIDI_DEVICENAME, nullptr, &chars);
    std::wstring name(chars, L'\0');
    if (chars) GetRawInputDeviceInfoW(device, RIDI_DEVICENAME, name.data(), &chars);
    name.resize(wcsnlen(name.c_str(), name.size()));
    return name;
}

class RawKeyboardWindow {
public:
    RawKeyboardWindow() : window_(L"Orvello raw input test") {
        window_.OnMessage([this](UINT msg, WPARAM, LPARAM lp) {
            if (msg == WM_INPUT) Record(HRAWINPUT(lp));
            return false;
        });
        RAWINPUTDEVICE device{1, 6, RIDEV_INPUTSINK, window_.hwnd()};
        registered_ = RegisterRawInputDevices(&device, 1, sizeof device);
    }
    HWND hwnd() const { return window_.hwnd(); }
    bool registered() const { return registered_; }
    std::vector<RawKey> keys;

private:
    void Record(HRAWINPUT handle) {
        RAWINPUT input{};
        UINT size = sizeof input;
        if (GetRawInputData(handle, RID_INPUT, &input, &size, sizeof(RAWINPUTHEADER)) == UINT(-1))
            return;
        if (input.header.dwType != RIM_TYPEKEYBOARD) return;
        const RAWKEYBOARD& k = input.data.keyboard;
        keys.push_back({k.VKey, k.MakeCode, k.Flags, DeviceName(input.header.hDevice)});
    }
    TestWindow window_;
    bool registered_ = false;
};

TEST(VirtualKeyboard, RightAndLeftModifiersArriveAsRawInputFromWinesKeyboard) {
    RawKeyboardWindow window;
    ASSERT_TRUE(window.registered());
    ASSERT_TRUE(ShowAndFocus(window.hwnd()));

    for (int code : {keycode::kRightCtrl, keycode::kLeftShift}) {
        ASSERT_TRUE(KeyDown(code));
        ASSERT_TRUE(KeyUp(code));
    }
    PumpMessages(300);

    ASSERT_EQ(window.keys.size(), 4u);
    EXPECT_EQ(window.keys[0].vkey, VK_CONTROL);
    EXPECT_EQ(window.keys[0].flags, RI_KEY_E0 | RI_KEY_MAKE);  // right-hand Ctrl is extended
    EXPECT_EQ(window.keys[1].vkey, VK_CONTROL);
    EXPECT_EQ(window.keys[1].flags, RI_KEY_E0 | RI_KEY_BREAK);
    EXPECT_EQ(window.keys[2].vkey, VK_SHIFT);
    EXPECT_EQ(window.keys[2].makeCode, 0x2A);  // left Shift's scan code
    EXPECT_EQ(window.keys[3].flags, RI_KEY_BREAK);
    EXPECT_NE(window.keys[0].device.find(L"VID_845E"), std::wstring::npos)
        << "unexpected keyboard device name";
}

TEST(SendInputTyping, UnicodeTextArrivesInAnEditControl) {
    TestWindow window(L"Orvello typing test");
    HWND edit =
        CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 10, 10, 360, 24,
                        window.hwnd(), nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(ShowAndFocus(window.hwnd()));
    SetFocus(edit);

    const std::wstring text = L"Grüße, naïve café – \U0001D11E!";
    std::vector<INPUT> events;
    for (wchar_t unit : text) {
        for (DWORD up : {DWORD(0), DWORD(KEYEVENTF_KEYUP)}) {
            INPUT in{};
            in.type = INPUT_KEYBOARD;
            in.ki.wScan = unit;
            in.ki.dwFlags = KEYEVENTF_UNICODE | up;
            events.push_back(in);
        }
    }
    ASSERT_EQ(SendInput(UINT(events.size()), events.data(), sizeof(INPUT)), events.size());
    PumpMessages(300);

    wchar_t typed[128] = {};
    GetWindowTextW(edit, typed, 128);
    EXPECT_EQ(std::wstring(typed), text);
}

// The device whose name contains `part`, or WAVE_MAPPER's -1 when none does.
UINT WaveInDeviceNamed(const std::wstring& part) {
    for (UINT id = 0; id < waveInGetNumDevs(); ++id) {
        WAVEINCAPSW caps{};
        if (waveInGetDevCapsW(id, &caps, sizeof caps) == MMSYSERR_NOERROR &&
            std::wstring(caps.szPname).find(part) != std::wstring::npos)
            return id;
    }
    return UINT(-1);
}

// Records `seconds` of 16 kHz mono 16-bit audio with the wave-input API.
std::vector<int16_t> Record(UINT device, double seconds) {
    WAVEFORMATEX format{WAVE_FORMAT_PCM, 1, 16000, 32000, 2, 16, 0};
    HANDLE done = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    HWAVEIN wave = nullptr;
    if (waveInOpen(&wave, device, &format, DWORD_PTR(done), 0, CALLBACK_EVENT) != MMSYSERR_NOERROR)
        return {};
    constexpr int kBuffers = 4, kBufferSamples = 1600;
    std::vector<std::vector<int16_t>> buffers(kBuffers, std::vector<int16_t>(kBufferSamples));
    std::vector<WAVEHDR> headers(kBuffers);
    for (int i = 0; i < kBuffers; ++i) {
        headers[i].lpData = reinterpret_cast<LPSTR>(buffers[i].data());
        headers[i].dwBufferLength = kBufferSamples * 2;
        waveInPrepareHeader(wave, &headers[i], sizeof(WAVEHDR));
        waveInAddBuffer(wave, &headers[i], sizeof(WAVEHDR));
    }
    std::vector<int16_t> recorded;
    waveInStart(wave);
    const size_t wanted = size_t(seconds * 16000);
    for (int next = 0; recorded.size() < wanted;) {
        if (!(headers[next].dwFlags & WHDR_DONE)) {
            if (WaitForSingleObject(done, 5000) == WAIT_TIMEOUT) break;
            continue;
        }
        const auto* data = buffers[next].data();
        recorded.insert(recorded.end(), data, data + headers[next].dwBytesRecorded / 2);
        waveInAddBuffer(wave, &headers[next], sizeof(WAVEHDR));
        next = (next + 1) % kBuffers;
    }
    waveInReset(wave);
    for (auto& header : headers) waveInUnprepareHeader(wave, &header, sizeof(WAVEHDR));
    waveInClose(wave);
    CloseHandle(done);
    return recorded;
}

// Where `part` starts inside `whole`, or npos.
size_t FindSamples(const std::vector<int16_t>& whole, const std::vector<int16_t>& part) {
    auto at = std::search(whole.begin(), whole.end(), part.begin(), part.end());
    return at == whole.end() ? std::string::npos : size_t(at - whole.begin());
}

TEST(VirtualMicrophone, RecordsTheFedWaveSampleForSample) {
    const std::string wav = std::string(ORVELLO_BINARY_DIR) + "/harness-speech.wav";
    ASSERT_EQ(RunUnixCommand("espeak-ng -w " + wav + ".raw.wav 'testing the virtual microphone'" +
                             " && sox " + wav + ".raw.wav -r 16000 -c 1 -b 16 " + wav),
              0);
    const std::vector<int16_t> source = ReadWav16kMono("Z:" + wav);
    ASSERT_GT(source.size(), 8000u);

    const UINT device = WaveInDeviceNamed(L"OrvelloMic");
    ASSERT_NE(device, UINT(-1)) << "the virtual microphone is not a wave-input device";
    // Trailing silence lets the last partly filled buffer complete.
    ASSERT_TRUE(StartUnixCommand(std::string(ORVELLO_SOURCE_DIR) + "/tools/feed-mic " + wav +
                                 " --tail-silence-ms 600"));
    const std::vector<int16_t> recorded = Record(device, source.size() / 16000.0 + 0.4);

    ASSERT_GE(recorded.size(), source.size());
    EXPECT_NE(FindSamples(recorded, source), std::string::npos)
        << "the recording does not contain the fed samples unchanged";
}

// A child control of a registered class that paints itself red.
HWND CreateRedChild(HWND parent) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"OrvelloHarnessRedChild";
    wc.hbrBackground = CreateSolidBrush(RGB(255, 0, 0));
    RegisterClassW(&wc);
    return CreateWindowExW(0, wc.lpszClassName, L"", WS_CHILD | WS_VISIBLE, 20, 20, 100, 50, parent,
                           nullptr, wc.hInstance, nullptr);
}

TEST(WindowCapture, ShowsTheWindowWithItsChildControls) {
    TestWindow window(L"Orvello capture test", RGB(0, 0, 255));
    HWND child = CreateRedChild(window.hwnd());
    ASSERT_TRUE(ShowAndFocus(window.hwnd()));
    PumpMessages(200);

    const Image image = CaptureWindow(window.hwnd());
    EXPECT_FALSE(SaveWindowCapture(window.hwnd(), "harness-window").empty());

    RECT frame;
    GetWindowRect(window.hwnd(), &frame);
    auto pixelAtClient = [&](POINT p) {
        MapWindowPoints(window.hwnd(), nullptr, &p, 1);
        return image.At(p.x - frame.left, p.y - frame.top);
    };
    EXPECT_EQ(pixelAtClient({70, 45}), 0xFF0000u) << "the child control is missing";
    EXPECT_EQ(pixelAtClient({300, 200}), 0x0000FFu) << "the window's own background is missing";
    DestroyWindow(child);
}

}  // namespace
}  // namespace orvello::test
