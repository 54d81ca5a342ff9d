// Texts of the application that more than one layer shows.
#pragma once

#include <string_view>

namespace brovane {

inline constexpr std::string_view kAppTitle = "Brovane";
inline constexpr std::string_view kFrameCaption = "Brovane, for Windows 95/98/ME, Windows NT/2000";
inline constexpr std::string_view kSettingsOrganisation = "Local AppWizard-Generated Applications";
inline constexpr std::string_view kWaitText = "Wait....";
// The usage document beside the program, its window's caption, and what is
// said when it cannot be read.
inline constexpr std::string_view kUsageDocument = "Brovane.DOC";
inline constexpr std::string_view kUsageTitle = "Brovane Usage";
inline constexpr std::string_view kUsageMissingText = "Brovane.DOC not found";

}  // namespace brovane
