#pragma once
// The user's replacements for the life of the process, ready to apply to dictated text. Getting
// the file's bytes and writing them back is done by the platform half
// (replacements_file_win.h).
#include <string>
#include <string_view>
#include <vector>

#include "replacements/replacement.h"
#include "replacements/replacement_matcher.h"

namespace orvello {

class ReplacementStore {
public:
    [[nodiscard]] const std::vector<Replacement>& Replacements() const { return replacements_; }

    // Takes over the edited list from the replacements dialog after OK.
    void ReplaceReplacements(std::vector<Replacement> edited);

    // The dictated text with the replacements made (replacement_matcher.h).
    [[nodiscard]] std::u16string Apply(std::u16string_view text) const {
        return matcher_.Apply(text);
    }

    // The first step of every load, and its whole outcome when there is no file to read.
    void ClearForLoad();
    // Takes the replacements of the file's bytes: all of them, those that are well formed, or
    // none with the corrupted-file message.
    void LoadFromFileBytes(std::string_view fileBytes);
    // The text to write for the current list.
    [[nodiscard]] std::string FileText() const;

    // Empty, or the message box text left by a load that could use nothing of the file.
    [[nodiscard]] const std::u16string& LoadError() const { return loadError_; }
    // The log lines of a load that left entries out (which, why, and where the file will be
    // copied); empty when every entry was taken.
    [[nodiscard]] const std::vector<std::u16string>& LoadNotes() const { return loadNotes_; }

    // True from a load that left some of the file unused until a save has succeeded: the file
    // is still the user's and deserves a copy before that save.
    [[nodiscard]] bool NeedsBackupBeforeSave() const { return fileUnreadAtLoad_; }
    void NoteFileUnreadable() { fileUnreadAtLoad_ = true; }
    void NoteSaveSucceeded() { fileUnreadAtLoad_ = false; }
    // Where the file will be copied: added to the load error, or as a last note.
    void NoteBackupPath(std::u16string_view backupPath);

private:
    std::vector<Replacement> replacements_;
    ReplacementMatcher matcher_;
    std::u16string loadError_;
    std::vector<std::u16string> loadNotes_;
    bool fileUnreadAtLoad_ = false;
};

}  // namespace orvello
