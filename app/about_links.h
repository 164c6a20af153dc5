#pragma once
// The About menu's three web addresses, kept in one place.

#include <string_view>

namespace kestrune {

inline constexpr std::string_view kGithubLink = "https://github.com/kestrune/kestrune";
inline constexpr std::string_view kSaweriaLink = "https://saweria.co/kestrune";
inline constexpr std::string_view kYoutubeLink =
    "https://www.youtube.com/@kestrune?sub_confirmation=1";

}  // namespace kestrune
