// PNG reading for the golden-image comparison (libpng's simplified API).
#include <png.h>

#include "draw_test_util.h"

namespace wx5n::test {

bool ReadPng(const std::string& path, int* width, int* height, std::vector<uint32_t>* pixels) {
    png_image image;
    std::memset(&image, 0, sizeof(image));
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return false;
    image.format = PNG_FORMAT_RGB;
    std::vector<png_byte> buf(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, buf.data(), 0, nullptr)) {
        png_image_free(&image);
        return false;
    }
    *width = static_cast<int>(image.width);
    *height = static_cast<int>(image.height);
    pixels->resize(static_cast<size_t>(*width) * *height);
    for (size_t i = 0; i < pixels->size(); ++i)
        (*pixels)[i] = (uint32_t{buf[3 * i]} << 16) | (uint32_t{buf[3 * i + 1]} << 8) | buf[3 * i + 2];
    return true;
}

}  // namespace wx5n::test
