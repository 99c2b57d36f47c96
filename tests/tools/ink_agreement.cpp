// ink_agreement A.png B.png MIN_PERCENT: the share of the ink pixels of both
// pages that have an ink pixel of the other page within one pixel (in the
// 3x3 square around them). A pixel is ink when one of its channels is below
// half (every colour of the palette is, and so is an anti-aliased edge pixel
// at least half covered); transparent pixels count as white paper.
// Exit 0 when the share is at least MIN_PERCENT, 1 when below, 2 when a
// page cannot be read or the sizes differ by more than a pixel.
#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

struct Page {
    int width = 0, height = 0;
    std::vector<unsigned char> ink;  // 1 per ink pixel
    bool At(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height && ink[size_t(y) * width + x]; }
};

bool Read(const char* path, Page* page) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path)) return false;
    image.format = PNG_FORMAT_RGB;
    std::vector<unsigned char> rgb(PNG_IMAGE_SIZE(image));
    png_color white{255, 255, 255};
    if (!png_image_finish_read(&image, &white, rgb.data(), 0, nullptr)) return false;
    page->width = static_cast<int>(image.width);
    page->height = static_cast<int>(image.height);
    for (size_t i = 0; i < rgb.size(); i += 3) page->ink.push_back(rgb[i] < 128 || rgb[i + 1] < 128 || rgb[i + 2] < 128);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    Page p[2];
    if (argc != 4 || !Read(argv[1], &p[0]) || !Read(argv[2], &p[1]) || std::abs(p[0].width - p[1].width) > 1 ||
        std::abs(p[0].height - p[1].height) > 1) {
        std::fprintf(stderr, "ink_agreement: two readable pages of one size and a percentage, please\n");
        return 2;
    }
    long ink = 0, near = 0;  // ink pixels of either page, and those with ink of the other near
    for (int k = 0; k < 2; ++k)
        for (int y = 0; y < p[k].height; ++y)
            for (int x = 0; x < p[k].width; ++x) {
                if (!p[k].At(x, y)) continue;
                ++ink;
                bool found = false;
                for (int d = 0; d < 9 && !found; ++d) found = p[1 - k].At(x + d % 3 - 1, y + d / 3 - 1);
                near += found;
            }
    const double percent = ink ? 100.0 * near / ink : 0;
    std::printf("%.3f%% of %ld ink pixels agree\n", percent, ink);
    return ink && percent >= std::atof(argv[3]) ? 0 : 1;
}
