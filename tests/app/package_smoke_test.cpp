// Orvello as a Windows user gets it from its packages, run by scripts/test-package in a fresh
// Wine prefix: ORVELLO_PACKAGE_FOLDER names the unzipped folder (a Windows path) for the first
// test; the second starts the installed Orvello through its Start-menu shortcut.
#include <shlobj.h>
#include <shobjidl.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "orvello_version.h"
#include "tests/app/orvello_process_win.h"
#include "tests/app/push_to_talk_win.h"
#include "tests/app/recording_message_pump.h"
#include "tests/audio/virtual_microphone_win.h"
#include "tests/support/desktop.h"

namespace orvello {
namespace {

using namespace std::chrono_literals;

constexpr int kExitId = 1009;
constexpr int kAddSpaceId = 1044;
constexpr UINT kTrayExitCommand = 32772;

void Click(HWND main, int buttonId) {
    PostMessageW(main, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED),
                 LPARAM(GetDlgItem(main, buttonId)));
}

std::filesystem::path KnownFolder(REFKNOWNFOLDERID id) {
    wchar_t* path = nullptr;
    std::filesystem::path folder;
    if (SUCCEEDED(SHGetKnownFolderPath(id, 0, nullptr, &path))) folder = path;
    CoTaskMemFree(path);
    return folder;
}

// The program a shell link starts; empty when the link cannot be read.
std::filesystem::path ShortcutTarget(const std::filesystem::path& link) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    std::filesystem::path target;
    IShellLinkW* shellLink = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_PPV_ARGS(&shellLink)))) {
        IPersistFile* file = nullptr;
        wchar_t path[MAX_PATH] = {};
        if (SUCCEEDED(shellLink->QueryInterface(IID_PPV_ARGS(&file))) &&
            SUCCEEDED(file->Load(link.c_str(), STGM_READ)) &&
            SUCCEEDED(shellLink->GetPath(path, MAX_PATH, nullptr, 0))) {
            target = path;
        }
        if (file) file->Release();
        shellLink->Release();
    }
    CoUninitialize();
    return target;
}

// A text of a program's version resource (US English, Unicode); empty when there is none.
std::wstring VersionText(const std::filesystem::path& program, const wchar_t* name) {
    DWORD handle = 0;
    std::string data(GetFileVersionInfoSizeW(program.c_str(), &handle), '\0');
    if (data.empty() || !GetFileVersionInfoW(program.c_str(), 0, DWORD(data.size()), data.data()))
        return {};
    wchar_t* text = nullptr;
    UINT length = 0;
    const std::wstring key = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
    if (!VerQueryValueW(data.data(), key.c_str(), reinterpret_cast<void**>(&text), &length))
        return {};
    return std::wstring(text, length ? length - 1 : 0);
}

std::filesystem::path UnzippedFolder() {
    const char* folder = std::getenv("ORVELLO_PACKAGE_FOLDER");
    return folder ? std::filesystem::path(folder) : std::filesystem::path();
}

TEST(PackageSmoke, TheUnzippedOrvelloCarriesTheProjectVersion) {
    const std::filesystem::path program = UnzippedFolder() / L"Orvello.exe";
    EXPECT_EQ(VersionText(program, L"ProductName"), L"Orvello");
    EXPECT_EQ(VersionText(program, L"ProductVersion"), L"" ORVELLO_VERSION_TEXT);
    EXPECT_EQ(VersionText(program, L"LegalCopyright"), L"" ORVELLO_COPYRIGHT);
}

TEST(PackageSmoke, TheUnzippedOrvelloTypesSpeechIntoAnotherProgramAndExits) {
    const std::filesystem::path folder = UnzippedFolder();
    ASSERT_FALSE(folder.empty()) << "ORVELLO_PACKAGE_FOLDER is not set";
    test::WriteSettingText(L"InputDeviceId", L"OrvelloMic");
    const std::string wav = test::BuildFolderFile("package-hello-world.wav");
    ASSERT_FALSE(test::SpeakToWav("hello world", wav).empty());

    test::OrvelloProcess orvello(folder.wstring());
    HWND main = orvello.WaitForMainWindow();
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(orvello.WaitForLogContaining(L"Engine ready.", 60s));
    test::TypingTarget target;
    ASSERT_TRUE(target.Focus());
    test::PushToTalk({test::keycode::kRightCtrl}, wav);
    EXPECT_TRUE(test::PumpMessagesUntil([&] { return target.typed == L"hello world "; }, 30s));

    Click(main, kExitId);
    HWND question = orvello.WaitForMessageBox();
    ASSERT_NE(question, nullptr);
    PostMessageW(question, WM_COMMAND, IDYES, 0);
    EXPECT_EQ(orvello.WaitForExit(10s), DWORD(0));
}

TEST(PackageSmoke, TheStartMenuShortcutStartsTheInstalledOrvello) {
    const std::filesystem::path program =
        ShortcutTarget(KnownFolder(FOLDERID_Programs) / L"Orvello.lnk");
    const std::filesystem::path installed =
        KnownFolder(FOLDERID_LocalAppData) / L"Programs" / L"Orvello" / L"Orvello.exe";
    ASSERT_EQ(_wcsicmp(program.c_str(), installed.c_str()), 0) << program.string();

    test::OrvelloProcess orvello(program.parent_path().wstring());
    HWND main = orvello.WaitForMainWindow();
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(orvello.WaitForLogContaining(L"Engine ready.", 60s));
    // A setting of the user's own, which uninstalling must keep.
    Click(main, kAddSpaceId);
    EXPECT_TRUE(test::PumpMessagesUntil(
        [] { return test::ReadSettingInt(L"AppendSpace").has_value(); }, 10s));
    PostMessageW(main, WM_COMMAND, kTrayExitCommand, 0);
    EXPECT_EQ(orvello.WaitForExit(10s), DWORD(0));
}

}  // namespace
}  // namespace orvello
