#pragma once
// The pictures of the main window's standard controls: the Extract button's image and the About
// menu's item pictures (drawn by the skinned menus), at the size the window's pixel density asks
// for (the image list's size rule: 16 at 96 DPI, 24 at 144, 32 at 192). Include only from Windows
// sources.

#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <string>
#include <vector>

#include "app/alpha_image_list.h"
#include "platform/form_description.h"
#include "platform/form_win.h"
#include "platform/gdi_win.h"
#include "skin/controls/skinable_menus_win.h"
#include "skin/controls/skinned_button_win.h"
#include "skin/pixels/bitmap_win.h"

namespace kestrune {

class FormPictures {
 public:
  // Notes which components of `description` show which picture (`image = N`). `images` is not
  // owned and outlives this object.
  FormPictures(TsAlphaImageList& images, const platform::FormDescription& description);
  FormPictures(const FormPictures&) = delete;
  FormPictures& operator=(const FormPictures&) = delete;
  // Takes the pictures off the controls that still exist.
  ~FormPictures();

  // Gives the controls of `form` their pictures for `dpi`, replacing earlier ones.
  void Apply(platform::Form& form, int dpi);
  // The menu items' pictures as the skinned menus draw them.
  [[nodiscard]] skin::TacMenuPictures MenuPictures() const;

 private:
  struct Use {
    std::string component;
    bool menu_item = false;
    int index = 0;
  };
  void Detach();

  TsAlphaImageList& images_;
  std::vector<Use> uses_;
  HWND form_ = nullptr;
  std::vector<HWND> buttons_;  // not owned: the buttons given an image list
  std::vector<platform::UniqueImageList> button_lists_;
};

// The image list as the skinned buttons draw it: PNG pictures at the density's size. `images`
// (nullptr: no pictures) outlives the result.
[[nodiscard]] skin::TsGlyphSource ButtonGlyphs(TsAlphaImageList* images);

}  // namespace kestrune
