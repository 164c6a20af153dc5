#pragma once
// The main window: the results log, the four figures, the progress bar, the Extract button and
// the About menu. It is the run driver's UI while a run goes on.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/alpha_image_list.h"
#include "app/desktop_settings_win.h"
#include "app/taskbar_progress.h"
#include "extractor/run_driver.h"
#include "platform/application_win.h"
#include "platform/form_win.h"
#include "platform/process_services.h"
#include "skin/controls/skin_provider_win.h"
#include "skin/data/skin_broadcast_win.h"
#include "skin/data/skin_manager.h"

namespace kestrune {
namespace skin {
class TsMemo;
}

class FormPictures;
namespace skin {
class TsSkinnedControls;
}

class TMainForm : public platform::Form, public RunUi {
 public:
  // Builds the window from `description` (hidden until shown). `services` must outlive the form.
  // `desktop` tells the user's desktop settings, now and after each WM_SETTINGCHANGE.
  TMainForm(platform::Application& application, const platform::FormDescription& description,
            const platform::ProcessServices& services, RunSettings settings = {},
            DesktopSettingsSource desktop = SystemDesktopSettings);
  ~TMainForm() override;

  // The components the description names; owned by the form.
  platform::Memo* MemoResults = nullptr;
  platform::ProgressBar* ProgressBar = nullptr;
  platform::Label* LabelTotalEstimated = nullptr;
  platform::Label* LabelRemaining = nullptr;
  platform::Label* LabelETA = nullptr;
  platform::Label* LabelSpeed = nullptr;
  platform::Button* ButtonExtract = nullptr;
  // The pictures of the button and the About menu; null when the description has none.
  std::unique_ptr<TsAlphaImageList> sAlphaImageList;
  // The window's skin, loaded at start-up and broadcast to every window; null when the
  // description has no skin manager.
  std::unique_ptr<skin::TsSkinManager> SkinManager;
  // Paints the frame, title bar and menu band; null when the description has no provider.
  std::unique_ptr<skin::TsSkinProvider> SkinProvider;

  void FormCreate();
  void ButtonExtractClick();
  // Files dropped on the window: one file runs as Extract runs the working folder's list, with
  // the dropped file as the list; several files or a folder show why nothing runs. Ignored while
  // a run goes on.
  void FilesDropped(const std::vector<std::string>& paths);
  void GithubClick();
  void SaweriaClick();
  void YoutubeClick();

  // RunUi
  void ClearLog() override;
  void AppendLog(std::string_view line) override;
  void SetLabel(RunLabel label, std::string_view text) override;
  void SetProgressMaximum(int maximum) override;
  void SetProgressPosition(int position) override;
  void BlockIncomplete() override;
  void ShowMessage(std::string_view text) override;
  void ShowErrorBox(std::string_view text) override;

  // The run's progress on the task-bar button, once the system has announced the button.
  [[nodiscard]] TaskbarProgress& Taskbar() { return taskbar_; }

 protected:
  LRESULT WindowProc(UINT message, WPARAM wparam, LPARAM lparam) override;

 private:
  // The run's log lines, labels and progress reach the controls at most every 100 ms and at the
  // end of the run, not once per block: a list of 20,000 lines logs 40,000. The log's lines wait
  // longer, up to a second, while each append to it costs more than a tenth of that.
  void ShowPending(bool now);
  // The skinned menus, owned by SkinManager, draw the menu items and their pictures.
  void InstallSkinnedMenus();
  // One run of `settings`' list, for Extract and for a dropped list alike.
  void RunList(const RunSettings& settings);
  // The designed place unless it lies outside the work area of the window's monitor.
  void KeepInWorkArea();
  // High contrast switches the skin off, so that the system draws the window in the user's
  // colours, and back on when it ends; animations run only while the user allows them.
  void FollowDesktop();

  static constexpr unsigned long long kShowInterval = 100;         // milliseconds
  static constexpr unsigned long long kLongestLogInterval = 1000;  // milliseconds

  std::string pending_log_;  // lines not yet in MemoResults, each ended by CR LF
  std::optional<std::string> pending_labels_[4];
  std::optional<int> pending_position_;
  unsigned long long last_shown_ = 0;      // tick count of the last ShowPending that showed
  unsigned long long last_log_shown_ = 0;  // tick count of the last append to MemoResults
  unsigned long long log_interval_ = kShowInterval;  // least time between two appends
  bool log_ends_with_break_ = false;                 // known while a run appends to the log
  TaskbarProgress taskbar_;
  const UINT taskbar_button_created_ = ::RegisterWindowMessageW(L"TaskbarButtonCreated");
  bool running_ = false;  // a run goes on; its message boxes dispatch the window's messages

  const platform::ProcessServices& services_;
  RunSettings settings_;
  DesktopSettingsSource desktop_;
  bool designed_skin_active_ = true;  // the description's choices, which the desktop may only
  bool designed_animation_ = true;    // switch off, never on
  skin::WinSkinManagerPlatform skin_platform_;  // Outlives SkinManager (see the destructor).
  std::unique_ptr<FormPictures> pictures_;
  std::unique_ptr<skin::TsMemo> memo_skin_;  // MemoResults' skin; goes before SkinManager
  std::unique_ptr<skin::TsSkinnedControls> skinned_controls_;  // Goes before SkinManager.
};

}  // namespace kestrune
