// Texts of the application that more than one layer shows.
#pragma once

#include <string_view>

namespace brovane {

inline constexpr std::string_view kAppTitle = "Brovane";
inline constexpr std::string_view kFrameCaption = "Brovane, for Windows 95/98/ME, Windows NT/2000";
inline constexpr std::string_view kReadyText = "Ready";
inline constexpr std::string_view kSettingsOrganisation = "Local AppWizard-Generated Applications";
inline constexpr std::string_view kWaitText = "Wait....";

}  // namespace brovane
