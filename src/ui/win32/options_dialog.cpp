#include "ui/options_dialog.h"

#include <memory>

#include "engine/a_plugin.h"
#include "ui/frm_option.h"
#include "ui/win32/form_window.h"

namespace chronel {

int32_t ShowOptionsDialog(TaPlugin& module) {
  // Owned by the module as the declaration wants, freed here whatever happens.
  std::unique_ptr<TfrmOption> form = std::make_unique<TfrmOption>(module);
  win32ui::TFormWindow window(*form, reinterpret_cast<HWND>(module.OwnerWindow()));
  return window.ShowModal();
}

}  // namespace chronel
