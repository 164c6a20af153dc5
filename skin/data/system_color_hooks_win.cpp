#include "skin/data/system_color_hooks_win.h"

#include <optional>

#include "platform/application_win.h"
#include "platform/ascii_text.h"
#include "skin/data/skin_manager.h"
#include "skin/data/system_color_substitution.h"

namespace kestrune::skin {

namespace {

using GetSysColorProc = DWORD(WINAPI*)(int);
using GetSysColorBrushProc = HBRUSH(WINAPI*)(int);
using CreatePenProc = HPEN(WINAPI*)(int, int, COLORREF);

template <typename Proc>
Proc PlatformProc(const wchar_t* dll, const char* name) {
  // The address is taken from the system library itself, never from our patched imports.
  return reinterpret_cast<Proc>(
      reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(dll), name)));
}

GetSysColorProc RealGetSysColor() {
  static const auto proc = PlatformProc<GetSysColorProc>(L"user32.dll", "GetSysColor");
  return proc;
}

GetSysColorBrushProc RealGetSysColorBrush() {
  static const auto proc = PlatformProc<GetSysColorBrushProc>(L"user32.dll", "GetSysColorBrush");
  return proc;
}

CreatePenProc RealCreatePen() {
  static const auto proc = PlatformProc<CreatePenProc>(L"gdi32.dll", "CreatePen");
  return proc;
}

void WriteSlot(void** slot, void* value) {
  DWORD old_protection = 0;
  if (::VirtualProtect(slot, sizeof(void*), PAGE_READWRITE, &old_protection)) {
    *slot = value;
    ::VirtualProtect(slot, sizeof(void*), old_protection, &old_protection);
  }
}

// The default manager while it substitutes system colours.
TsSkinManager* Substituting() {
  TsSkinManager* manager = DefaultManager();
  return manager != nullptr && manager->Options.ChangeSysColors ? manager : nullptr;
}

TsSubstitutionColors ColorsOf(const TsSkinManager& manager) {
  return {manager.Palette, manager.SkinCommonInfo.SysInactiveBorderColor,
          static_cast<TColor>(PlatformSysColor(COLOR_BTNFACE))};
}

bool ActiveFormShown() {
  HWND form = ::GetActiveWindow();
  if (form == nullptr) {
    const platform::Application* application = platform::Application::Current();
    form = application != nullptr ? application->MainWindow() : nullptr;
  }
  return form != nullptr && ::IsWindow(form) && ::IsWindowVisible(form);
}

DWORD WINAPI SkinGetSysColor(int index) {
  if (const TsSkinManager* manager = Substituting(); manager != nullptr && ActiveFormShown()) {
    if (const std::optional<TColor> color = SubstituteSysColor(index, ColorsOf(*manager))) {
      return static_cast<DWORD>(*color);
    }
  }
  return RealGetSysColor()(index);
}

HBRUSH WINAPI SkinGetSysColorBrush(int index) {
  if (TsSkinManager* manager = Substituting()) {
    if (const std::optional<TacPaletteColors> color = SubstituteSysColorBrush(index)) {
      if (const std::uintptr_t brush = manager->PaletteBrush(*color)) {
        return reinterpret_cast<HBRUSH>(brush);
      }
    }
  }
  return RealGetSysColorBrush()(index);
}

HPEN WINAPI SkinCreatePen(int style, int width, COLORREF color) {
  if (const TsSkinManager* manager = Substituting()) {
    if (const std::optional<TColor> skin = SubstitutePenColor(color, ColorsOf(*manager))) {
      color = static_cast<COLORREF>(*skin);
    }
  }
  return RealCreatePen()(style, width, color);
}

template <typename Proc>
void* AsPointer(Proc proc) {
  return reinterpret_cast<void*>(proc);
}

}  // namespace

HMODULE OwnModule() {
  HMODULE module = nullptr;
  ::GetModuleHandleExW(
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
      reinterpret_cast<LPCWSTR>(reinterpret_cast<void*>(&OwnModule)), &module);
  return module;
}

std::vector<void**> FindImportSlots(HMODULE module, std::string_view dll,
                                    std::string_view function) {
  std::vector<void**> found;
  if (module == nullptr) {
    return found;
  }
  auto* const base = reinterpret_cast<BYTE*>(module);
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  if (dos->e_magic != IMAGE_DOS_SIGNATURE) {
    return found;
  }
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  if (nt->Signature != IMAGE_NT_SIGNATURE) {
    return found;
  }
  const IMAGE_DATA_DIRECTORY& imports =
      nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (imports.VirtualAddress == 0) {
    return found;
  }
  for (auto* entry = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
       entry->Name != 0; ++entry) {
    // Without a lookup table the names are gone once the loader has filled the slots.
    if (entry->OriginalFirstThunk == 0 ||
        !SameTextIgnoringCase(reinterpret_cast<const char*>(base + entry->Name), dll)) {
      continue;
    }
    auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->OriginalFirstThunk);
    auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->FirstThunk);
    for (; names->u1.AddressOfData != 0; ++names, ++slots) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) {
        continue;
      }
      const auto* by_name =
          reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
      if (function == reinterpret_cast<const char*>(by_name->Name)) {
        found.push_back(reinterpret_cast<void**>(&slots->u1.Function));
      }
    }
  }
  return found;
}

ImportPatch::ImportPatch(HMODULE module, std::string_view dll, std::string_view function,
                         void* replacement)
    : replacement_(replacement) {
  for (void** address : FindImportSlots(module, dll, function)) {
    slots_.push_back({address, *address});
    WriteSlot(address, replacement_);
  }
}

ImportPatch::~ImportPatch() {
  for (const Slot& slot : slots_) {
    if (*slot.address == replacement_) {
      WriteSlot(slot.address, slot.previous);
    }
  }
}

SystemColorHooks::SystemColorHooks()
    : sys_color_(OwnModule(), "user32.dll", "GetSysColor", AsPointer(&SkinGetSysColor)),
      sys_color_brush_(OwnModule(), "user32.dll", "GetSysColorBrush",
                       AsPointer(&SkinGetSysColorBrush)),
      create_pen_(OwnModule(), "gdi32.dll", "CreatePen", AsPointer(&SkinCreatePen)) {}

COLORREF PlatformSysColor(int index) {
  return RealGetSysColor()(index);
}

}  // namespace kestrune::skin
