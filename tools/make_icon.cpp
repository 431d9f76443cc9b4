// Draws the program's icon, a printer pictogram, and writes it as an .ico
// file with 32, 24 and 16 pixel images at 8 and 32 bits per pixel.
// Usage: make_icon OUTPUT.ico

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

struct Rgba {
    std::uint8_t r, g, b, a;
};

constexpr Rgba kClear{0, 0, 0, 0};
constexpr Rgba kOutline{0x26, 0x32, 0x38, 0xFF};
constexpr Rgba kBody{0x45, 0x5A, 0x64, 0xFF};
constexpr Rgba kBodyTop{0x78, 0x90, 0x9C, 0xFF};
constexpr Rgba kPaper{0xFF, 0xFF, 0xFF, 0xFF};
constexpr Rgba kPrint{0x90, 0xA4, 0xAE, 0xFF};
constexpr Rgba kSlot{0x10, 0x14, 0x18, 0xFF};
constexpr Rgba kLamp{0x4C, 0xDF, 0x50, 0xFF};

// The palette of the 8-bit images: the pictogram's colours, first entry unused.
constexpr std::array<Rgba, 8> kPalette{kClear, kOutline, kBody, kBodyTop, kPaper, kPrint, kSlot, kLamp};

bool Inside(double u, double v, double left, double top, double right, double bottom)
{
    return u >= left && u < right && v >= top && v < bottom;
}

// The colour at a point of the unit square, front layers first.
Rgba Sample(double u, double v)
{
    if (Inside(u, v, 0.25, 0.62, 0.75, 0.95)) {  // the sheet coming out
        const bool line = Inside(u, v, 0.32, 0.72, 0.68, 0.76) || Inside(u, v, 0.32, 0.82, 0.60, 0.86);
        return line ? kPrint : kPaper;
    }
    if (Inside(u, v, 0.20, 0.58, 0.80, 0.63)) {
        return kSlot;
    }
    if (Inside(u, v, 0.74, 0.44, 0.84, 0.52)) {
        return kLamp;
    }
    if (Inside(u, v, 0.06, 0.34, 0.94, 0.80)) {  // the body with its outline
        if (!Inside(u, v, 0.10, 0.38, 0.90, 0.76)) {
            return kOutline;
        }
        return v < 0.46 ? kBodyTop : kBody;
    }
    if (Inside(u, v, 0.26, 0.05, 0.74, 0.36)) {  // the sheet going in
        if (!Inside(u, v, 0.30, 0.09, 0.70, 0.36)) {
            return kOutline;
        }
        const bool line = Inside(u, v, 0.36, 0.16, 0.64, 0.20) || Inside(u, v, 0.36, 0.24, 0.58, 0.28);
        return line ? kPrint : kPaper;
    }
    return kClear;
}

// 4x4 samples a pixel, for smooth edges in the 32-bit images.
Rgba SmoothPixel(int x, int y, int size)
{
    double r = 0, g = 0, b = 0, a = 0;
    constexpr int kSamples = 4;
    for (int sy = 0; sy < kSamples; ++sy) {
        for (int sx = 0; sx < kSamples; ++sx) {
            const Rgba c = Sample((x + (sx + 0.5) / kSamples) / size, (y + (sy + 0.5) / kSamples) / size);
            const double alpha = c.a / 255.0;
            r += c.r * alpha;
            g += c.g * alpha;
            b += c.b * alpha;
            a += alpha;
        }
    }
    if (a == 0) {
        return kClear;
    }
    constexpr double kCount = kSamples * kSamples;
    const auto channel = [](double value) { return static_cast<std::uint8_t>(std::lround(value)); };
    return {channel(r / a), channel(g / a), channel(b / a), channel(a / kCount * 255)};
}

int PaletteIndex(int x, int y, int size)
{
    const Rgba c = Sample((x + 0.5) / size, (y + 0.5) / size);
    for (std::size_t i = 1; i < kPalette.size(); ++i) {
        const Rgba& p = kPalette[i];
        if (c.a != 0 && p.r == c.r && p.g == c.g && p.b == c.b) {
            return static_cast<int>(i);
        }
    }
    return 0;
}

void Put16(std::vector<std::uint8_t>& out, unsigned value)
{
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

void Put32(std::vector<std::uint8_t>& out, unsigned value)
{
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

int RowBytes(int bits)
{
    return (bits + 31) / 32 * 4;
}

// One image in the icon format: header, palette, colour rows and the
// transparency mask, rows bottom-up.
std::vector<std::uint8_t> Image(int size, int bitsPerPixel)
{
    std::vector<std::uint8_t> out;
    const int colourRow = RowBytes(size * bitsPerPixel);
    const int maskRow = RowBytes(size);
    // An 8-bit image's palette holds only the colours it uses (biClrUsed).
    const auto paletteEntries = static_cast<unsigned>(bitsPerPixel == 8 ? kPalette.size() : 0);
    Put32(out, 40);
    Put32(out, static_cast<unsigned>(size));
    Put32(out, static_cast<unsigned>(size * 2));
    Put16(out, 1);
    Put16(out, static_cast<unsigned>(bitsPerPixel));
    Put32(out, 0);
    Put32(out, static_cast<unsigned>((colourRow + maskRow) * size));
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, paletteEntries);
    Put32(out, 0);
    for (unsigned i = 0; i < paletteEntries; ++i) {
        const Rgba p = kPalette[i];
        out.insert(out.end(), {p.b, p.g, p.r, 0});
    }
    std::vector<std::uint8_t> mask;
    for (int y = size - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(static_cast<std::size_t>(colourRow), 0);
        std::vector<std::uint8_t> maskBits(static_cast<std::size_t>(maskRow), 0);
        for (int x = 0; x < size; ++x) {
            bool transparent = false;
            if (bitsPerPixel == 32) {
                const Rgba c = SmoothPixel(x, y, size);
                const auto at = static_cast<std::size_t>(x) * 4;
                row[at] = c.b;
                row[at + 1] = c.g;
                row[at + 2] = c.r;
                row[at + 3] = c.a;
                transparent = c.a == 0;
            } else {
                const int index = PaletteIndex(x, y, size);
                row[static_cast<std::size_t>(x)] = static_cast<std::uint8_t>(index);
                transparent = index == 0;
            }
            if (transparent) {
                maskBits[static_cast<std::size_t>(x / 8)] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
            }
        }
        out.insert(out.end(), row.begin(), row.end());
        mask.insert(mask.end(), maskBits.begin(), maskBits.end());
    }
    out.insert(out.end(), mask.begin(), mask.end());
    return out;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_icon OUTPUT.ico\n");
        return 2;
    }
    struct Format {
        int size;
        int bits;
    };
    constexpr std::array<Format, 6> kFormats{{{32, 8}, {24, 8}, {16, 8}, {32, 32}, {24, 32}, {16, 32}}};

    std::vector<std::vector<std::uint8_t>> images;
    images.reserve(kFormats.size());
    for (const Format& format : kFormats) {
        images.push_back(Image(format.size, format.bits));
    }
    std::vector<std::uint8_t> file;
    Put16(file, 0);
    Put16(file, 1);
    Put16(file, static_cast<unsigned>(images.size()));
    unsigned offset = static_cast<unsigned>(6 + 16 * images.size());
    for (std::size_t i = 0; i < images.size(); ++i) {
        file.push_back(static_cast<std::uint8_t>(kFormats[i].size));
        file.push_back(static_cast<std::uint8_t>(kFormats[i].size));
        file.push_back(0);  // colour count: 0 for 256 colours and more
        file.push_back(0);
        Put16(file, 1);
        Put16(file, static_cast<unsigned>(kFormats[i].bits));
        Put32(file, static_cast<unsigned>(images[i].size()));
        Put32(file, offset);
        offset += static_cast<unsigned>(images[i].size());
    }
    for (const auto& image : images) {
        file.insert(file.end(), image.begin(), image.end());
    }
    std::FILE* output = std::fopen(argv[1], "wb");
    if (output == nullptr) {
        std::perror(argv[1]);
        return 1;
    }
    const bool written = std::fwrite(file.data(), 1, file.size(), output) == file.size();
    return std::fclose(output) == 0 && written ? 0 : 1;
}
