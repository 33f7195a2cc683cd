#include "files/file_text.h"

namespace orvello {

std::string_view TextBeforeEndOfFileMark(std::string_view fileBytes) {
    return fileBytes.substr(0, fileBytes.find(kEndOfFileMark));
}

std::string WithCrLfLineEnds(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    for (const char c : text) {
        if (c == '\n') out.push_back('\r');
        out.push_back(c);
    }
    return out;
}

std::u16string WithBackupNote(std::u16string_view message, std::u16string_view backupPath) {
    std::u16string text(message);
    text += u" Before that, a copy of it will be kept as ";
    text += backupPath;
    text += u".";
    return text;
}

}  // namespace orvello
