#pragma once
// The skinned controls of a form: every button and group box its stored description marks
// `skinned = yes` gets its skin class, and the labels inside a skinned group box take the skin's
// text colour. Include only from Windows sources.

#include <memory>
#include <vector>

#include "platform/form_description.h"
#include "platform/form_win.h"
#include "skin/controls/skinned_button_win.h"
#include "skin/controls/skinned_group_box_win.h"

namespace kestrune::skin {

class TsSkinnedControls {
 public:
  // `form` outlives this object; `images` is the form's image list (the buttons' `image = N`).
  TsSkinnedControls(platform::Form& form, const platform::FormDescription& description,
                    const TsGlyphSource& images);
  TsSkinnedControls(const TsSkinnedControls&) = delete;
  TsSkinnedControls& operator=(const TsSkinnedControls&) = delete;
  ~TsSkinnedControls();

  [[nodiscard]] TsButton* FindButton(HWND window) const;
  [[nodiscard]] TsGroupBox* FindGroupBox(HWND window) const;

 private:
  std::vector<std::unique_ptr<TsGroupBox>> boxes_;
  std::vector<std::unique_ptr<TsButton>> buttons_;
};

}  // namespace kestrune::skin
