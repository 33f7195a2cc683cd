#pragma once
// The replacements dialog and its editor without their windows: the table's columns and rows,
// which buttons are enabled, the list edits, and what the editor accepts.
#include <string>
#include <string_view>
#include <vector>

#include "controls/table_list_style.h"
#include "replacements/replacement.h"

namespace orvello {

// A selected row index, or this when nothing is selected.
inline constexpr int kNoReplacementSelected = -1;

// "Model Writes" and "Orvello Types", sharing the list's client width in pixels.
[[nodiscard]] std::vector<TableColumn> ReplacementsTableColumns(int clientWidthPx);

// A text as one table cell: each line break shown as a pilcrow, so that a replacement made only
// of line breaks is still seen.
[[nodiscard]] std::u16string TableCellText(std::u16string_view text);

// `selection` when it names a row of a table with `count` rows, else kNoReplacementSelected.
[[nodiscard]] int ValidReplacementSelection(int selection, int count);

// Removes the selected entry; the row to select afterwards: the one that moved into its place,
// or the new last row, or none. An invalid selection changes nothing.
[[nodiscard]] int DeleteReplacementAt(std::vector<Replacement>& replacements, int selection);

inline constexpr std::u16string_view kEmptyWrittenMessage =
    u"Enter the word or phrase that the speech model writes.";

// The entry as the editor's OK takes it: what the model writes trimmed, what Orvello types as
// it stands with its line breaks as CR LF. Empty `problem` when it can be taken.
struct EditedReplacement {
    Replacement replacement;
    std::u16string_view problem;
};
[[nodiscard]] EditedReplacement AcceptEditedReplacement(std::u16string_view written,
                                                        std::u16string_view typed);

}  // namespace orvello
