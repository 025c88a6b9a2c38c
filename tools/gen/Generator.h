#pragma once

#include <string>

namespace gen {

// Writes all 29 run-time assets under dir (textures/, models/, sounds/); false on any failure.
bool generateAssets(const std::string& dir);

// Review aids: outDir/contact_sheet.png with every texture in assetsDir, and outDir/level_map.png,
// the level from above with height as colour, the route, the start and the goal.
bool writeReview(const std::string& assetsDir, const std::string& outDir);

} // namespace gen
