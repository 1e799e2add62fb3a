// BMP and ICO encoders. Both store rows bottom-up, padded to 4 bytes.
#include "ImageFiles.h"

#include <cstdio>

namespace artgen {

namespace {

void Put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

// BITMAPINFOHEADER without compression.
void PutInfoHeader(std::vector<uint8_t>& out, int width, int height, int bits, uint32_t imageSize) {
    Put32(out, 40);
    Put32(out, static_cast<uint32_t>(width));
    Put32(out, static_cast<uint32_t>(height));
    Put16(out, 1);  // planes
    Put16(out, static_cast<uint32_t>(bits));
    Put32(out, 0);  // BI_RGB
    Put32(out, imageSize);
    Put32(out, 2835);  // 72 dpi
    Put32(out, 2835);
    Put32(out, 0);
    Put32(out, 0);
}

uint32_t RowBytes(int width, int bits) {
    return static_cast<uint32_t>((width * bits + 31) / 32 * 4);
}

// The icon image: BGRA pixels, then the AND mask (1 = transparent).
std::vector<uint8_t> EncodeIconImage(const Image& image) {
    const int w = image.Width();
    const int h = image.Height();
    const uint32_t maskRow = RowBytes(w, 1);
    std::vector<uint8_t> out;
    PutInfoHeader(out, w, h * 2, 32, static_cast<uint32_t>(w * h * 4) + maskRow * h);
    for (int y = h - 1; y >= 0; --y) {
        for (int x = 0; x < w; ++x) {
            const Color c = image.At(x, y);
            out.insert(out.end(), {c.b, c.g, c.r, c.a});
        }
    }
    for (int y = h - 1; y >= 0; --y) {
        std::vector<uint8_t> row(maskRow, 0);
        for (int x = 0; x < w; ++x) {
            if (image.At(x, y).a < 128) {
                row[static_cast<size_t>(x / 8)] |= static_cast<uint8_t>(0x80 >> (x % 8));
            }
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

}  // namespace

std::vector<uint8_t> EncodeBmp24(const Image& image) {
    const int w = image.Width();
    const int h = image.Height();
    const uint32_t row = RowBytes(w, 24);
    const uint32_t pixels = row * static_cast<uint32_t>(h);
    std::vector<uint8_t> out;
    out.push_back('B');
    out.push_back('M');
    Put32(out, 14 + 40 + pixels);
    Put32(out, 0);
    Put32(out, 14 + 40);
    PutInfoHeader(out, w, h, 24, pixels);
    for (int y = h - 1; y >= 0; --y) {
        const size_t start = out.size();
        for (int x = 0; x < w; ++x) {
            const Color c = image.At(x, y);
            out.insert(out.end(), {c.b, c.g, c.r});
        }
        out.resize(start + row, 0);
    }
    return out;
}

std::vector<uint8_t> EncodeIco(const std::vector<Image>& images) {
    std::vector<std::vector<uint8_t>> bodies;
    for (const Image& image : images) {
        bodies.push_back(EncodeIconImage(image));
    }
    std::vector<uint8_t> out;
    Put16(out, 0);
    Put16(out, 1);  // icon
    Put16(out, static_cast<uint32_t>(images.size()));
    uint32_t offset = 6 + 16 * static_cast<uint32_t>(images.size());
    for (size_t i = 0; i < images.size(); ++i) {
        // A size of 256 is written as 0.
        out.push_back(static_cast<uint8_t>(images[i].Width() & 0xFF));
        out.push_back(static_cast<uint8_t>(images[i].Height() & 0xFF));
        out.push_back(0);  // colour count
        out.push_back(0);
        Put16(out, 1);   // planes
        Put16(out, 32);  // bits
        Put32(out, static_cast<uint32_t>(bodies[i].size()));
        Put32(out, offset);
        offset += static_cast<uint32_t>(bodies[i].size());
    }
    for (const auto& body : bodies) {
        out.insert(out.end(), body.begin(), body.end());
    }
    return out;
}

bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        return false;
    }
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

}  // namespace artgen
