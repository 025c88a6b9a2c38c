#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <glm/vec3.hpp>

namespace gen {

// A square or rectangular picture of linear [0, 1] RGB floats, row 0 at the top.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<glm::vec3> pixels;

    Image() = default;
    Image(int w, int h, glm::vec3 fill = glm::vec3(0.0f));
    glm::vec3& at(int x, int y) { return pixels[static_cast<size_t>(y) * width + x]; }
    const glm::vec3& at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    // Packed 8-bit RGB, rounded and clamped.
    std::vector<uint8_t> toBytes() const;
};

// The picture `factor` times smaller on each side, each pixel the mean of the factor x factor
// block it stands for: the same box filter that builds mipmaps. Sides must divide by factor.
Image shrink(const Image& image, int factor);

// A height per pixel in [0, 1]; reads wrap around the edges because every surface tiles.
struct HeightField {
    int width = 0;
    int height = 0;
    std::vector<float> values;

    HeightField() = default;
    HeightField(int w, int h, float fill = 0.0f);
    float& at(int x, int y) { return values[static_cast<size_t>(y) * width + x]; }
    float wrapped(int x, int y) const;
};

// Tangent-space normals of a height field, encoded 0.5 + 0.5 n. `depth` is how many pixels
// a height of 1 stands out. x follows the columns (texture u) and y follows increasing rows,
// because the model loader flips v, so the tangent frame's second axis points down the image.
Image normalMap(const HeightField& field, float depth);

// Baseline JPEG with three colour channels; false if the file cannot be written.
bool writeJpeg(const std::string& path, const Image& image, int quality);
bool writeJpeg(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb, int quality);
// Reads a JPEG back as packed RGB; false on failure.
bool readJpeg(const std::string& path, int& width, int& height, std::vector<uint8_t>& rgb);
bool writePng(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb);

} // namespace gen
