#include "tools/gen/Image.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>

#include <glm/geometric.hpp>
#include <jpeglib.h>
#include <png.h>

namespace gen {

namespace {

uint8_t toByte(float v)
{
    return static_cast<uint8_t>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f));
}

struct FileCloser {
    void operator()(FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<FILE, FileCloser>;

} // namespace

Image::Image(int w, int h, glm::vec3 fill) : width(w), height(h), pixels(static_cast<size_t>(w) * h, fill)
{
}

Image shrink(const Image& image, int factor)
{
    Image out(image.width / factor, image.height / factor);
    const float share = 1.0f / static_cast<float>(factor * factor);
    for (int y = 0; y < out.height; ++y)
        for (int x = 0; x < out.width; ++x) {
            glm::vec3 sum(0.0f);
            for (int dy = 0; dy < factor; ++dy)
                for (int dx = 0; dx < factor; ++dx)
                    sum += image.at(x * factor + dx, y * factor + dy);
            out.at(x, y) = sum * share;
        }
    return out;
}

std::vector<uint8_t> Image::toBytes() const
{
    std::vector<uint8_t> out;
    out.reserve(pixels.size() * 3);
    for (const glm::vec3& p : pixels) {
        out.push_back(toByte(p.r));
        out.push_back(toByte(p.g));
        out.push_back(toByte(p.b));
    }
    return out;
}

HeightField::HeightField(int w, int h, float fill) : width(w), height(h), values(static_cast<size_t>(w) * h, fill)
{
}

float HeightField::wrapped(int x, int y) const
{
    x = ((x % width) + width) % width;
    y = ((y % height) + height) % height;
    return values[static_cast<size_t>(y) * width + x];
}

Image normalMap(const HeightField& field, float depth)
{
    Image out(field.width, field.height);
    for (int y = 0; y < field.height; ++y) {
        for (int x = 0; x < field.width; ++x) {
            float dx = 0.5f * depth * (field.wrapped(x + 1, y) - field.wrapped(x - 1, y));
            float dy = 0.5f * depth * (field.wrapped(x, y + 1) - field.wrapped(x, y - 1));
            glm::vec3 n = glm::normalize(glm::vec3(-dx, -dy, 1.0f));
            out.at(x, y) = 0.5f + 0.5f * n;
        }
    }
    return out;
}

bool writeJpeg(const std::string& path, const Image& image, int quality)
{
    return writeJpeg(path, image.width, image.height, image.toBytes(), quality);
}

bool writeJpeg(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb, int quality)
{
    File file(std::fopen(path.c_str(), "wb"));
    if (!file)
        return false;
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, file.get());
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    // Full-resolution colour: normal maps keep their x and y in the chroma channels, and
    // halving those would blur bumps and open a seam where the texture wraps.
    for (int c = 0; c < info.num_components; ++c) {
        info.comp_info[c].h_samp_factor = 1;
        info.comp_info[c].v_samp_factor = 1;
    }
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(&rgb[static_cast<size_t>(info.next_scanline) * width * 3]);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return true;
}

bool readJpeg(const std::string& path, int& width, int& height, std::vector<uint8_t>& rgb)
{
    File file(std::fopen(path.c_str(), "rb"));
    if (!file)
        return false;
    jpeg_decompress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&info);
    jpeg_stdio_src(&info, file.get());
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    width = static_cast<int>(info.output_width);
    height = static_cast<int>(info.output_height);
    rgb.assign(static_cast<size_t>(width) * height * 3, 0);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = &rgb[static_cast<size_t>(info.output_scanline) * width * 3];
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

bool writePng(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb)
{
    File file(std::fopen(path.c_str(), "wb"));
    if (!file)
        return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file.get());
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < height; ++y)
        png_write_row(png, &rgb[static_cast<size_t>(y) * width * 3]);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

} // namespace gen
