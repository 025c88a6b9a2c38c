#pragma once

#include <string>

// Saves the current draw buffer (the finished frame, before it is presented) as a PNG.
// Returns false, with one line in `error`, when the file cannot be written.
bool saveScreenshot(const std::string& path, int width, int height, std::string& error);
