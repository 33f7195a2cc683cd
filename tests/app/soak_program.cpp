// Not a test: many push-to-talk dictations in a row into the real Orvello.exe under Wine, to see
// that the last costs what the first did. Right Ctrl held with xdotool while espeak-ng speech of
// a few short sentences, in turn, goes into the virtual microphone; the text is typed into a
// window of this program. Every 20th dictation the commands dialog is opened and closed first.
// Printed (nothing is checked): Orvello's memory, handles and GDI/USER objects after the first 20
// dictations and after the last, each as Windows (as Wine emulates it) and Linux (the Wine
// process of Orvello.exe) report it, and every dictation whose text came out wrong: not typed in
// full as logged, none, or another than the first dictation of the same sentence gave.
// usage: soak_program RUN_FOLDER DICTATIONS   (a Unix path; run inside scripts/with-test-env)
// Figures are lines "figure: what | dictations | measured | reference".
#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include <windows.h>
// After windows.h, which it needs.
#include <psapi.h>

#include "tests/app/dictation_driver_win.h"
#include "tests/app/orvello_process_win.h"
#include "tests/app/recording_message_pump.h"
#include "tests/audio/virtual_microphone_win.h"
#include "tests/support/desktop.h"
#include "tests/support/unix_command.h"

namespace orvello {
namespace {

using namespace std::chrono_literals;

constexpr int kEditCommandsId = 1021;
constexpr int kFirstMeasuredAfter = 20;
constexpr int kDialogEvery = 20;
constexpr auto kResultWait = 60s;
// Characters of a text still on their way to the target once it ends with the space.
constexpr auto kStragglers = 300ms;
constexpr std::array kSentences = {"hello world", "please send the report today",
                                   "the meeting moves to friday", "thank you very much",
                                   "open the window in the kitchen"};

// One figure as read at a point of the soak; `reported` is false when its source gave none.
struct Figure {
    std::string what;
    std::string source;
    double value = 0;
    bool reported = false;
    const char* unit = "";
};

std::string Narrow(const std::wstring& text) {
    std::string narrow;
    for (const wchar_t c : text) narrow += c < 128 ? char(c) : '?';
    return narrow;
}

// A figure of Wine's emulation of Windows: a failed call or 0 (what Wine's stubs give) is
// printed as not reported.
Figure WindowsFigure(const char* what, const char* source, bool called, double value,
                     const char* unit = "") {
    Figure figure{what, std::string("Wine's ") + source, value, called && value > 0, unit};
    if (!called) figure.source += " failed, error " + std::to_string(GetLastError());
    if (called && value <= 0) figure.source += " gave 0";
    return figure;
}

BOOL CALLBACK CountWindowsOf(HWND window, LPARAM lParam) {
    auto& [processId, count] = *reinterpret_cast<std::pair<DWORD, int>*>(lParam);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == processId) ++count;
    if (GetParent(window) == nullptr) EnumChildWindows(window, CountWindowsOf, lParam);
    return TRUE;
}

// What Wine's emulation of Windows reports about Orvello's process, and its windows (top-level
// and child) as a stand-in for USER objects.
void AddWindowsFigures(HANDLE process, std::vector<Figure>& figures) {
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof memory;
    const bool haveMemory = GetProcessMemoryInfo(
        process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), memory.cb);
    figures.push_back(WindowsFigure("private bytes", "GetProcessMemoryInfo PrivateUsage",
                                    haveMemory, double(memory.PrivateUsage) / 1048576.0, "MiB"));
    figures.push_back(WindowsFigure("working set", "GetProcessMemoryInfo WorkingSetSize",
                                    haveMemory, double(memory.WorkingSetSize) / 1048576.0, "MiB"));
    DWORD handles = 0;
    const bool haveHandles = GetProcessHandleCount(process, &handles) != FALSE;
    figures.push_back(
        WindowsFigure("handles", "GetProcessHandleCount", haveHandles, double(handles)));
    SetLastError(0);
    const DWORD gdi = GetGuiResources(process, GR_GDIOBJECTS);
    figures.push_back(WindowsFigure("GDI objects", "GetGuiResources GR_GDIOBJECTS",
                                    gdi > 0 || GetLastError() == 0, double(gdi)));
    SetLastError(0);
    const DWORD user = GetGuiResources(process, GR_USEROBJECTS);
    figures.push_back(WindowsFigure("USER objects", "GetGuiResources GR_USEROBJECTS",
                                    user > 0 || GetLastError() == 0, double(user)));
    std::pair<DWORD, int> windows{GetProcessId(process), 0};
    EnumWindows(CountWindowsOf, LPARAM(&windows));
    figures.push_back(WindowsFigure("windows, stand-in for USER objects",
                                    "EnumWindows and EnumChildWindows", true,
                                    double(windows.second)));
}

// /proc of the Linux process that runs Orvello.exe in this Wine prefix, as "Name: value" lines.
std::map<std::string, double> LinuxStatus() {
    const std::string out = test::BuildFolderFile("soak-program-status.txt");
    const std::string command =
        "for p in $(pgrep -f 'Orvello\\.exe'); do "
        "case \"$(tr '\\0' '\\n' < /proc/$p/cmdline | head -n1)\" in *Orvello.exe) ;; *) "
        "continue;; esac; "
        "tr '\\0' '\\n' < /proc/$p/environ | grep -qxF \"WINEPREFIX=$WINEPREFIX\" || continue; "
        "grep -E '^(VmRSS|RssAnon|Threads):' /proc/$p/status; "
        "echo \"Fds: $(ls /proc/$p/fd | wc -l)\"; done > " +
        test::ShellQuote(out);
    std::map<std::string, double> status;
    if (test::RunUnixCommand(command) != 0) return status;
    std::ifstream file("Z:" + out);
    std::string name;
    double value = 0;
    while (file >> name >> value) {
        status[name.substr(0, name.size() - 1)] = value;
        file.ignore(256, '\n');
    }
    return status;
}

void AddLinuxFigures(std::vector<Figure>& figures) {
    const std::map<std::string, double> status = LinuxStatus();
    const auto add = [&](const char* what, const char* name, const char* source, double scale,
                         const char* unit) {
        const auto found = status.find(name);
        const bool reported = found != status.end();
        figures.push_back({what, source, reported ? found->second * scale : 0, reported, unit});
    };
    add("private memory", "RssAnon", "Linux RssAnon of the Wine process", 1 / 1024.0, "MiB");
    add("resident memory", "VmRSS", "Linux VmRSS of the Wine process", 1 / 1024.0, "MiB");
    add("open descriptors, stand-in for handles", "Fds", "Linux /proc/PID/fd of the Wine process",
        1, "");
    add("threads", "Threads", "Linux Threads of the Wine process", 1, "");
}

std::vector<Figure> Measure(const test::OrvelloProcess& orvello) {
    std::vector<Figure> figures;
    AddWindowsFigures(orvello.Handle(), figures);
    AddLinuxFigures(figures);
    return figures;
}

std::string Shown(const Figure& figure) {
    if (!figure.reported) return "not reported: " + figure.source;
    char text[160];
    std::snprintf(text, sizeof text, "%.*f%s%s (%s)", *figure.unit ? 1 : 0, figure.value,
                  *figure.unit ? " " : "", figure.unit, figure.source.c_str());
    return text;
}

// The goal for one figure: memory within 5 % or 20 MiB of the first reading, counts the same.
std::string Goal(const Figure& first, const Figure& last) {
    if (!first.reported || !last.reported) return "goal not measurable";
    const bool memory = std::string(first.unit) == "MiB";
    const double growth = last.value - first.value;
    const bool met =
        memory ? growth <= std::max(0.05 * first.value, 20.0) : std::fabs(growth) < 0.5;
    return std::string(memory ? "goal within 5 % or 20 MiB" : "goal the same count") +
           (met ? ": met" : ": missed");
}

void PrintFigures(const std::vector<Figure>& first, const std::vector<Figure>& last,
                  int dictations) {
    for (std::size_t i = 0; i < first.size(); ++i) {
        std::printf("figure: %s | %d | %s | after %d: %s; %s\n", last[i].what.c_str(), dictations,
                    Shown(last[i]).c_str(), kFirstMeasuredAfter, Shown(first[i]).c_str(),
                    Goal(first[i], last[i]).c_str());
    }
    std::fflush(stdout);
}

// Opens the commands dialog from the main window and closes it with Cancel.
bool OpenAndCloseCommands(test::OrvelloProcess& orvello) {
    HWND main = orvello.MainWindow();
    PostMessageW(main, WM_COMMAND, MAKEWPARAM(kEditCommandsId, BN_CLICKED),
                 LPARAM(GetDlgItem(main, kEditCommandsId)));
    HWND dialog = orvello.WaitForDialog(L"Commands");
    if (dialog == nullptr) return false;
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    return test::PumpMessagesUntil([&] { return IsWindow(dialog) == FALSE; }, 20s);
}

// One dictation into the target; what went wrong, or "" when a text was typed in full (the
// service logs "[Ready]" once the result is handled; a text typed ends with the added space).
std::string Dictate(test::OrvelloProcess& orvello, test::TypingTarget& target,
                    const std::string& wav, std::wstring& typed) {
    target.typed.clear();
    const auto ready = [&] { return test::LogLinesWith(orvello, {L"[Ready]"}); };
    const auto noSpeech = [&] { return test::LogLinesWith(orvello, {L"[no speech recognized]"}); };
    const std::size_t readyBefore = ready(), noSpeechBefore = noSpeech();
    const bool spoken = test::SpeakIntoRecording(
        [&] { return target.Focus() && test::KeyDown(test::keycode::kRightCtrl); }, wav);
    if (!test::KeyUp(test::keycode::kRightCtrl) || !spoken) return "the hold failed";
    const bool done = test::PumpMessagesUntil(
        [&] {
            return ready() > readyBefore &&
                   (noSpeech() > noSpeechBefore ||
                    (!target.typed.empty() && target.typed.back() == L' '));
        },
        kResultWait);
    test::PumpMessagesFor(kStragglers);
    typed = target.typed;
    if (noSpeech() > noSpeechBefore) return "no speech recognized";
    if (!done) return "no complete text within 60 s (typed \"" + Narrow(typed) + "\")";
    return "";
}

int Run(const std::string& runFolder, int dictations) {
    std::vector<std::string> wavs;
    for (std::size_t i = 0; i < kSentences.size(); ++i) {
        wavs.push_back(test::BuildFolderFile("soak-program-" + std::to_string(i) + ".wav"));
        if (test::SpeakToWav(kSentences[i], wavs.back()).empty()) return 1;
    }
    test::DeleteOrvelloSettings();
    test::WriteSettingText(L"InputDeviceId", L"OrvelloMic");
    test::OrvelloProcess orvello(test::RunFolder(runFolder.c_str()));
    if (orvello.WaitForMainWindow(60s) == nullptr ||
        !orvello.WaitForLogContaining(L"Engine ready.", 10min)) {
        std::fprintf(stderr, "Error: Orvello did not get ready\n");
        return 1;
    }
    test::TypingTarget target;
    std::vector<std::wstring> expected(kSentences.size());
    std::vector<Figure> first;
    int incomplete = 0, different = 0;
    for (int n = 1; n <= dictations; ++n) {
        const std::size_t sentence = std::size_t(n - 1) % kSentences.size();
        std::string fault;
        if (n % kDialogEvery == 0 && !OpenAndCloseCommands(orvello)) {
            fault = "the commands dialog did not open and close; ";
        }
        std::wstring typed;
        const std::string failure = Dictate(orvello, target, wavs[sentence], typed);
        if (!failure.empty()) ++incomplete;
        fault += failure;
        if (failure.empty() && expected[sentence].empty()) expected[sentence] = typed;
        if (failure.empty() && typed != expected[sentence]) {
            ++different;
            fault += "typed \"" + Narrow(typed) + "\", the first time \"" +
                     Narrow(expected[sentence]) + "\"";
        }
        if (!fault.empty()) {
            std::printf("wrong: dictation %d (\"%s\"): %s\n", n, kSentences[sentence],
                        fault.c_str());
            std::fflush(stdout);
        }
        if (n == kFirstMeasuredAfter) first = Measure(orvello);
    }
    if (first.empty()) first = Measure(orvello);
    PrintFigures(first, Measure(orvello), dictations);
    for (std::size_t i = 0; i < kSentences.size(); ++i) {
        std::printf("text: \"%s\" -> \"%s\"\n", kSentences[i], Narrow(expected[i]).c_str());
    }
    std::printf(
        "figure: dictations typed in full (a text ending in the added space) | %d | %d | goal "
        "all %d\n",
        dictations, dictations - incomplete, dictations);
    std::printf(
        "figure: of those, texts other than the first of the same sentence | %d | %d | the "
        "same speech each time; what the microphone captured of it differs from hold to hold\n",
        dictations, different);
    test::DeleteOrvelloSettings();
    return 0;
}

}  // namespace
}  // namespace orvello

int main(int argc, char** argv) {
    if (argc != 3 || std::atoi(argv[2]) <= 0) {
        std::fprintf(stderr, "usage: %s RUN_FOLDER DICTATIONS\n", argv[0]);
        return 2;
    }
    try {
        return orvello::Run(argv[1], std::atoi(argv[2]));
    } catch (const std::exception& error) {
        std::fprintf(stderr, "Error: %s\n", error.what());
        return 1;
    }
}
