#pragma once
// The Tip of the Day's own texts and command identifier. The tips file's failure
// texts are the core's (analysis/tips.h).

namespace ui {

inline constexpr int kTipOfTheDayCommand = 114;
inline constexpr const char* kTipOfTheDayPrompt = "Displays a Tip of the Day.";
inline constexpr const char* kTipOfTheDayMenuText = "Ti&p of the Day...";
inline constexpr const char* kDidYouKnow = "Did you know...";
inline constexpr const char* kHelpMenuTitle = "&Help";

inline constexpr const char* kTipDialogCaption = "Tip of the Day";
inline constexpr const char* kShowTipsOnStartUp = "&Show Tips on StartUp";
inline constexpr const char* kNextTip = "&Next Tip";
inline constexpr const char* kCloseTips = "&Close";

}  // namespace ui
