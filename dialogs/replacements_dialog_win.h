#pragma once
// CReplacementsDialog: the replacements as a table ("Model Writes", "Orvello Types") with "Add",
// "Edit" and "Delete"; each entry is edited in CReplacementEditDialog. It works on a copy: the
// caller reads Replacements() back only when DoModal() returned IDOK.
//   CReplacementsDialog dialog(store.Replacements(), mainWindow);
//   if (dialog.DoModal() == IDOK) store.ReplaceReplacements(dialog.Replacements());
#include <windows.h>

#include <vector>

#include "controls/table_list_box.h"
#include "replacements/replacement.h"
#include "ui/dialog.h"

namespace orvello {

class CReplacementsDialog : public ui::CDialogEx {
public:
    CReplacementsDialog(std::vector<Replacement> replacements, HWND parent);

    [[nodiscard]] const std::vector<Replacement>& Replacements() const { return replacements_; }

private:
    void BindControls() override;
    bool OnInitDialog() override;
    bool OnCommand(UINT id, UINT code, HWND control) override;

    void OnAdd();
    void OnEdit();
    void OnDelete();
    [[nodiscard]] int Selection() const;
    void RefreshTable(int selection);
    void UpdateButtonStates();

    std::vector<Replacement> replacements_;
    CTableListBox table_;
};

// CReplacementEditDialog: one entry, "Model writes" on one line and "Orvello types" in a box where
// Enter makes a line break. OK refuses an empty "Model writes" with a message.
class CReplacementEditDialog : public ui::CDialogEx {
public:
    CReplacementEditDialog(Replacement replacement, HWND parent);

    [[nodiscard]] const Replacement& Working() const { return working_; }

private:
    bool OnInitDialog() override;
    void OnOK() override;

    Replacement working_;
};

}  // namespace orvello
