#pragma once

#include <string_view>

// What the program says about itself: its name and version, and where on the web it lives.
namespace corvane::product {

inline constexpr std::string_view kName = "Corvane";
inline constexpr std::string_view kVersion = "6.0";
// The main window's title: the product name followed by the version.
inline constexpr std::string_view kTitle = "Corvane v6.0";

// The project that makes Corvane, and the product's own page. The project owns the domain.
inline constexpr std::string_view kMakerAddress = "https://corvane.org/";
inline constexpr std::string_view kProductAddress = "https://corvane.org/about/";
// Where new releases and the tutorial are published.
inline constexpr std::string_view kDownloadAddress = "https://corvane.org/download/";
inline constexpr std::string_view kTutorialAddress = "https://corvane.org/tutorial/";

inline constexpr std::string_view kLicence =
    "Corvane is distributed under the terms that come with this copy of the program.";

}  // namespace corvane::product
