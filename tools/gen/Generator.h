#pragma once

#include <string>

namespace gen {

// The desktop icon's file under dir/icons, named after the game's AppStream id.
constexpr const char* iconFile = "org.gorbeck.Gorbeck.png";

// Writes all 29 run-time assets under dir (textures/, models/, sounds/) and the desktop icon
// (icons/); false on any failure.
bool generateAssets(const std::string& dir);

// Review aids: outDir/contact_sheet.png with every texture in assetsDir, and outDir/level_map.png,
// the level from above with height as colour, the route, the start and the goal.
bool writeReview(const std::string& assetsDir, const std::string& outDir);

} // namespace gen
