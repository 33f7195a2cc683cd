#include "commands/command_store.h"

#include <utility>

#include "commands/phrase_matching.h"

namespace orvello {

void CommandStore::ReplaceCommands(std::vector<VoiceCommand> edited) {
    commands_ = std::move(edited);
}

void CommandStore::ClearForLoad() {
    commands_.clear();
    loadError_.clear();
    fileUnreadAtLoad_ = false;
}

void CommandStore::LoadFromFileBytes(std::string_view fileBytes) {
    ClearForLoad();
    CommandFileLoadResult result = ParseCommandFile(fileBytes);
    fileUnreadAtLoad_ = result.FileWouldBeLostOnSave();
    commands_ = std::move(result.commands);
    loadError_ = std::move(result.loadError);
}

void CommandStore::NoteBackupPath(std::u16string_view backupPath) {
    if (!loadError_.empty()) loadError_ = CorruptedCommandFileMessage(backupPath);
}

std::string CommandStore::FileText() const {
    return FormatCommandFile(commands_);
}

const VoiceCommand* CommandStore::FindCommand(std::u16string_view spoken) const {
    return orvello::FindCommand(commands_, spoken);
}

}  // namespace orvello
