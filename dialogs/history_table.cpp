#include "dialogs/history_table.h"

namespace orvello {
namespace {

constexpr int kTimeColumnWidthPx = 145;
constexpr int kOutcomeColumnWidthPx = 100;

bool IsRowBreak(char16_t c) {
    return c == u'\r' || c == u'\n' || c == u'\t';
}

}  // namespace

std::vector<TableColumn> HistoryTableColumns(int clientWidthPx) {
    return {
        {kTimeColumnWidthPx, kTableAlignLeft},
        {kOutcomeColumnWidthPx, kTableAlignLeft},
        // The text takes the width that the time and outcome columns leave.
        {clientWidthPx - kTimeColumnWidthPx - kOutcomeColumnWidthPx, kTableAlignLeft},
    };
}

std::u16string HistoryRowText(std::u16string_view text) {
    std::u16string row;
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (!IsRowBreak(text[at])) {
            row += text[at];
        } else if (at == 0 || !IsRowBreak(text[at - 1])) {
            row += u' ';
        }
    }
    return row;
}

std::u16string HistoryBoxText(std::u16string_view text) {
    std::u16string box;
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (text[at] == u'\r') {
            box += u"\r\n";
            if (at + 1 < text.size() && text[at + 1] == u'\n') ++at;
        } else if (text[at] == u'\n') {
            box += u"\r\n";
        } else {
            box += text[at];
        }
    }
    return box;
}

}  // namespace orvello
