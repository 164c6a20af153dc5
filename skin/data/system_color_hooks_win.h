#pragma once
// System colour substitution on Windows: while a SystemColorHooks object lives, GetSysColor,
// GetSysColorBrush and CreatePen as our own module imports them answer from the default
// manager's skin (system_color_substitution.h); other modules of the process are not touched.
// The functions are replaced in the module's import address table, which works the same on
// Windows and under Wine.

#include <windows.h>

#include <string_view>
#include <vector>

namespace kestrune::skin {

// The module the skin code is linked into.
[[nodiscard]] HMODULE OwnModule();

// The import address table slots through which `module` calls `function` of `dll` (any case):
// one per import entry of that library (a module linked from several import libraries may have
// more than one); none when it does not import the function by name.
[[nodiscard]] std::vector<void**> FindImportSlots(HMODULE module, std::string_view dll,
                                                  std::string_view function);

// Points one import of a module at a replacement for as long as it lives; its end puts the
// previous addresses back unless someone has patched a slot again since. Does nothing when the
// module does not import the function. A function already running keeps the address it has
// read: the switch takes effect with the next call into the module's code that reads it.
class ImportPatch {
 public:
  ImportPatch(HMODULE module, std::string_view dll, std::string_view function, void* replacement);
  ImportPatch(const ImportPatch&) = delete;
  ImportPatch& operator=(const ImportPatch&) = delete;
  ~ImportPatch();

  [[nodiscard]] bool Applied() const { return !slots_.empty(); }

 private:
  struct Slot {
    void** address;
    void* previous;
  };
  std::vector<Slot> slots_;
  void* replacement_ = nullptr;
};

// The three colour functions of our own module answering from the default manager: system
// colours only while that manager's ChangeSysColors is on and the active form's window exists
// and is visible, brushes and pens while the option is on.
class SystemColorHooks {
 public:
  SystemColorHooks();

 private:
  ImportPatch sys_color_;
  ImportPatch sys_color_brush_;
  ImportPatch create_pen_;
};

// GetSysColor of the platform itself, past any substitution: what the desktop really shows.
[[nodiscard]] COLORREF PlatformSysColor(int index);

}  // namespace kestrune::skin
