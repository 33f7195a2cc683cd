#pragma once
// The History dialog without its window: the table's columns, and a text as its row and as the
// read-only box show it.
#include <string>
#include <string_view>
#include <vector>

#include "controls/table_list_style.h"

namespace orvello {

// Time, outcome and text, from the list's client width in pixels.
[[nodiscard]] std::vector<TableColumn> HistoryTableColumns(int clientWidthPx);

// The text on one line: each run of line breaks and tabs becomes one space.
[[nodiscard]] std::u16string HistoryRowText(std::u16string_view text);

// The text for a multi-line edit control, which breaks lines only at CR LF: every line break
// (LF, CR or CR LF) becomes CR LF.
[[nodiscard]] std::u16string HistoryBoxText(std::u16string_view text);

}  // namespace orvello
