#include "dialogs/replacements_table.h"

#include "replacements/replacements_file_format.h"

namespace orvello {
namespace {

constexpr char16_t kPilcrow = 0x00B6;

bool IsLineBreak(char16_t unit) {
    return unit == u'\r' || unit == u'\n';
}

std::u16string_view Trimmed(std::u16string_view text) {
    constexpr std::u16string_view kWhiteSpace = u" \t\r\n";
    const std::size_t first = text.find_first_not_of(kWhiteSpace);
    if (first == std::u16string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(kWhiteSpace) - first + 1);
}

}  // namespace

std::vector<TableColumn> ReplacementsTableColumns(int clientWidthPx) {
    const int writtenWidthPx = clientWidthPx / 2;
    return {{writtenWidthPx, kTableAlignLeft}, {clientWidthPx - writtenWidthPx, kTableAlignLeft}};
}

std::u16string TableCellText(std::u16string_view text) {
    const std::u16string crLf = WithCrLfLineBreaks(text);
    std::u16string shown;
    for (std::size_t index = 0; index < crLf.size(); ++index) {
        if (!IsLineBreak(crLf[index])) {
            shown += crLf[index];
        } else if (crLf[index] == u'\n') {
            shown += kPilcrow;
        }
    }
    return shown;
}

int ValidReplacementSelection(int selection, int count) {
    return selection >= 0 && selection < count ? selection : kNoReplacementSelected;
}

int DeleteReplacementAt(std::vector<Replacement>& replacements, int selection) {
    const int count = static_cast<int>(replacements.size());
    if (ValidReplacementSelection(selection, count) == kNoReplacementSelected) return selection;
    replacements.erase(replacements.begin() + selection);
    return ValidReplacementSelection(selection < count - 1 ? selection : count - 2, count - 1);
}

EditedReplacement AcceptEditedReplacement(std::u16string_view written, std::u16string_view typed) {
    const std::u16string_view trimmed = Trimmed(written);
    if (trimmed.empty()) return {{}, kEmptyWrittenMessage};
    return {{std::u16string(trimmed), WithCrLfLineBreaks(typed)}, {}};
}

}  // namespace orvello
