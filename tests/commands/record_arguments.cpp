// Started by the execution tests through the shell: writes the arguments after the first one,
// one per line in UTF-8, into the file the first argument names.
//   record_arguments OUTPUT_FILE [ARGUMENTS...]
// The file appears whole: it is written under another name and then renamed.
#include <windows.h>

#include <string>

namespace {

std::string Utf8(const wchar_t* text) {
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8.data(), bytes, nullptr, nullptr);
    utf8.resize(utf8.size() - 1);  // the NUL
    return utf8;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return 2;
    std::string lines;
    for (int i = 2; i < argc; ++i) lines += Utf8(argv[i]) + "\n";
    const std::wstring partial = std::wstring(argv[1]) + L".part";
    HANDLE file = CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 3;
    DWORD written = 0;
    WriteFile(file, lines.data(), static_cast<DWORD>(lines.size()), &written, nullptr);
    CloseHandle(file);
    return MoveFileExW(partial.c_str(), argv[1], MOVEFILE_REPLACE_EXISTING) ? 0 : 4;
}
