#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "commands/command_file_format.h"
#include "commands/voice_command.h"

namespace orvello {

// The user's ordered command list for the life of the process. The order is the
// file order, the order the commands dialog shows and the matching priority.
// Getting the file's bytes and writing them back is done by the platform half.
class CommandStore {
public:
    [[nodiscard]] const std::vector<VoiceCommand>& Commands() const { return commands_; }

    // Empty, or the message left by the last failed load.
    [[nodiscard]] const std::u16string& LoadError() const { return loadError_; }

    // Takes over the edited copy from the commands dialog after OK.
    void ReplaceCommands(std::vector<VoiceCommand> edited);

    // The first step of every load, and its whole outcome when there is no file
    // to read (no Documents folder, no file yet, file unreadable).
    void ClearForLoad();

    // Replaces the list with the commands of the file's bytes, or with nothing
    // and the corrupted-file message when they cannot be read.
    void LoadFromFileBytes(std::string_view fileBytes);

    // The text to write for the current list.
    [[nodiscard]] std::string FileText() const;

    // True from a load that left the file's content unused until a save has
    // succeeded: the file is still the user's and deserves a copy before that save.
    [[nodiscard]] bool NeedsBackupBeforeSave() const { return fileUnreadAtLoad_; }
    // The file exists but could not be read (locked, no access): the list stays
    // empty, and the file must not be replaced without a copy.
    void NoteFileUnreadable() { fileUnreadAtLoad_ = true; }
    void NoteSaveSucceeded() { fileUnreadAtLoad_ = false; }
    // After a corrupted file: the load error also tells where the file will be copied.
    void NoteBackupPath(std::u16string_view backupPath);

    // The first enabled command matching the spoken text, or nullptr; valid
    // until the list is next replaced or loaded.
    [[nodiscard]] const VoiceCommand* FindCommand(std::u16string_view spoken) const;

private:
    std::vector<VoiceCommand> commands_;
    std::u16string loadError_;
    bool fileUnreadAtLoad_ = false;
};

}  // namespace orvello
