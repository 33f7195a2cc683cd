#include "raw_input_test_window.h"

#include <memory>

#include "tests/support/heap_allocation_counter.h"
#include "trigger/raw_input_source_win.h"

namespace orvello::test {
namespace {

constexpr wchar_t kWindowClass[] = L"OrvelloRawInputTestWindow";

void registerWindowClass(WNDPROC procedure) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kWindowClass;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
    RegisterClassW(&windowClass);  // fails harmlessly when already registered
}

double nanosecondsSince(const LARGE_INTEGER& start) {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(now.QuadPart - start.QuadPart) * 1e9 /
           static_cast<double>(frequency.QuadPart);
}

bool isKeyboardRegistrationOf(HWND window) {
    RAWINPUTDEVICE devices[4];
    UINT count = 4;
    const UINT registered = GetRegisteredRawInputDevices(devices, &count, sizeof(RAWINPUTDEVICE));
    for (UINT i = 0; i < registered && i < 4; ++i) {
        if (devices[i].usUsagePage == 1 && devices[i].usUsage == 6 &&
            devices[i].hwndTarget == window)
            return true;
    }
    return false;
}

std::wstring helperProgramPath() {
    wchar_t testProgram[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, testProgram, MAX_PATH);
    std::wstring path(testProgram, length);
    path.resize(path.find_last_of(L'\\') + 1);
    return path + L"trigger_foreground_window_helper.exe";
}

HWND helperWindowOf(DWORD processId) {
    const HWND window = FindWindowW(L"OrvelloForegroundHelper", nullptr);
    DWORD ownerProcess = 0;
    if (window != nullptr) GetWindowThreadProcessId(window, &ownerProcess);
    return ownerProcess == processId ? window : nullptr;
}

}  // namespace

RawInputTestWindow::TriggerPath::TriggerPath()
    : reader(std::make_unique<WinRawInputSource>()), tracker(reader, owner, messages) {
    // Recording a request must not touch the heap while keystrokes are checked for allocations.
    owner.calls.reserve(64);
}

RawInputTestWindow::RawInputTestWindow(const wchar_t* title)
    : path_(std::make_unique<TriggerPath>()) {
    registerWindowClass(procedure);
    hwnd_ = CreateWindowExW(0, kWindowClass, title, WS_OVERLAPPEDWINDOW, 100, 100, 400, 240,
                            nullptr, nullptr, GetModuleHandleW(nullptr), this);
}

RawInputTestWindow::~RawInputTestWindow() {
    if (isKeyboardRegistrationOf(hwnd_)) (void)removeKeyboardRegistration();
    DestroyWindow(hwnd_);
}

bool RawInputTestWindow::registerForKeyboards() {
    return reader().registerWindow(toWindowHandle(hwnd_));
}

void RawInputTestWindow::startFresh() {
    path_ = std::make_unique<TriggerPath>();
    seenKeys_.clear();
    undecodedInputs_ = 0;
}

LRESULT CALLBACK RawInputTestWindow::procedure(HWND window, UINT message, WPARAM wParam,
                                               LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<RawInputTestWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    try {
        if (self != nullptr && self->handle(message, wParam, lParam)) return 0;
    } catch (...) {
        // A failed recording shows up as a missing key in the test's expectations.
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

bool RawInputTestWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INPUT:
            onInput(wParam, lParam);
            return false;  // DefWindowProc frees the input
        case WM_SYSKEYDOWN:
        case WM_SYSKEYUP:
            return true;  // keeps a lone Alt from opening the window menu
        default:
            return false;
    }
}

void RawInputTestWindow::onInput(WPARAM wParam, LPARAM lParam) {
    LARGE_INTEGER start;
    QueryPerformanceCounter(&start);
    const long allocationsBefore = heapAllocationCount();
    const std::optional<KeyboardEvent> event = reader().decode(rawInputHandleOf(lParam));
    if (event) tracker().onKeyEvent(*event);
    const long allocations = heapAllocationCount() - allocationsBefore;
    const double elapsedNanoseconds = nanosecondsSince(start);
    if (!event) {
        ++undecodedInputs_;
        return;
    }
    seenKeys_.push_back({.device = event->device,
                         .deviceName = std::u16string(event->deviceName),
                         .deviceIdentity = std::u16string(event->deviceIdentity),
                         .key = event->key,
                         .isDown = event->isDown,
                         .arrivedInBackground = GET_RAWINPUT_CODE_WPARAM(wParam) == RIM_INPUTSINK,
                         .trackerActiveAfter = tracker().isActive(),
                         .heapAllocations = allocations,
                         .handlingNanoseconds = elapsedNanoseconds});
}

RawInputTestWindow& sharedTestWindow() {
    static auto* const window = new RawInputTestWindow(L"Orvello trigger keys");
    return *window;
}

ForegroundHelperProcess::ForegroundHelperProcess() {
    std::wstring commandLine = L"\"" + helperProgramPath() + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process_))
        return;
    pumpUntil([this] { return (window_ = helperWindowOf(process_.dwProcessId)) != nullptr; },
              10000);
}

ForegroundHelperProcess::~ForegroundHelperProcess() {
    if (process_.hProcess == nullptr) return;
    TerminateProcess(process_.hProcess, 0);
    WaitForSingleObject(process_.hProcess, 5000);
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
}

}  // namespace orvello::test
