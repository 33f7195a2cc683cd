#include "replacements/replacement_store.h"

#include <utility>

#include "files/file_text.h"
#include "replacements/replacements_file_format.h"

namespace orvello {
namespace {

constexpr std::u16string_view kSkippedEntriesNote =
    u"The replacements file will be overwritten the next time you save.";

}  // namespace

void ReplacementStore::ReplaceReplacements(std::vector<Replacement> edited) {
    replacements_ = std::move(edited);
    matcher_ = ReplacementMatcher(replacements_);
}

void ReplacementStore::ClearForLoad() {
    ReplaceReplacements({});
    loadError_.clear();
    loadNotes_.clear();
    fileUnreadAtLoad_ = false;
}

void ReplacementStore::LoadFromFileBytes(std::string_view fileBytes) {
    ClearForLoad();
    ReplacementsFileLoadResult result = ParseReplacementsFile(fileBytes);
    fileUnreadAtLoad_ = result.FileWouldBeLostOnSave();
    if (result.corrupted) loadError_ = kCorruptedReplacementsFileMessage;
    loadNotes_ = std::move(result.skippedEntries);
    ReplaceReplacements(std::move(result.replacements));
}

std::string ReplacementStore::FileText() const {
    return FormatReplacementsFile(replacements_);
}

void ReplacementStore::NoteBackupPath(std::u16string_view backupPath) {
    if (!loadError_.empty()) {
        loadError_ = WithBackupNote(kCorruptedReplacementsFileMessage, backupPath);
    } else if (!loadNotes_.empty()) {
        loadNotes_.push_back(WithBackupNote(kSkippedEntriesNote, backupPath));
    }
}

}  // namespace orvello
