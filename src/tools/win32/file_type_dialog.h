// The file-type dialog (template 237): which of the eleven junk extensions
// the optimisation search looks for. Every change is written at once.
#pragma once

#include "settings/registry_store.h"
#include "ui/check_list_view.h"
#include "ui/dialog.h"

namespace tools {

inline constexpr int kFileTypeDialog = 237;

class FileTypeDialog final : public ui::Dialog {
 public:
  explicit FileTypeDialog(settings::RegistryStore& store) : store_(store) {}

  INT_PTR run(HWND owner) { return runModal(kFileTypeDialog, owner); }

  ui::CheckListView& list() { return list_; }

 protected:
  std::span<const Entry> messageTable() const override;

 private:
  INT_PTR onInitDialog(WPARAM, LPARAM);
  INT_PTR onListNotify(WPARAM, LPARAM);
  INT_PTR onSelectAll(WPARAM, LPARAM);
  INT_PTR onClearAll(WPARAM, LPARAM);
  INT_PTR onClose(WPARAM, LPARAM);

  void setRow(int row, bool searched);  // the switch, the box and the state text
  void setAll(bool searched);

  settings::RegistryStore& store_;
  ui::CheckListView list_;
  bool settingRows_ = false;  // the dialog's own changes of the boxes
};

}  // namespace tools
