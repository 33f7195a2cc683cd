#include "replacements/replacements_file_win.h"

namespace orvello {

std::wstring GetReplacementsFilePath() {
    return OrvelloDocumentsFilePath(L"replacements.kwx");
}

void LoadReplacements(ReplacementStore& store) {
    LoadStoreFromUserFile(store, GetReplacementsFilePath());
}

UserFileSaveResult SaveReplacements(ReplacementStore& store) {
    return SaveStoreToUserFile(store, GetReplacementsFilePath());
}

}  // namespace orvello
