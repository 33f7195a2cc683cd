#include "commands/command_file_win.h"

namespace orvello {

std::wstring GetCommandFilePath() {
    return OrvelloDocumentsFilePath(L"commands.kwx");
}

// When the file cannot be read, or Documents cannot even be found (an offline redirected
// folder), the list starts empty but a file may still be there: the first save copies it aside.
void LoadCommands(CommandStore& store) {
    LoadStoreFromUserFile(store, GetCommandFilePath());
}

CommandFileSaveResult SaveCommands(CommandStore& store) {
    return SaveStoreToUserFile(store, GetCommandFilePath());
}

}  // namespace orvello
