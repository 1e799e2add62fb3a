// In-memory pictures for the artwork generator: a straight-alpha RGBA raster, and a scene of
// filled shapes in design units rendered to any pixel size with supersampling, so one design
// gives every icon size and bitmaps share one look.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace artgen {

struct Color {
    uint8_t r = 0, g = 0, b = 0, a = 255;
};

constexpr Color Rgb(uint32_t rgb, uint8_t alpha = 255) {
    return Color{static_cast<uint8_t>(rgb >> 16), static_cast<uint8_t>(rgb >> 8),
                 static_cast<uint8_t>(rgb), alpha};
}

// Top-down rows of straight (not premultiplied) RGBA pixels.
class Image {
  public:
    Image(int width, int height, Color fill = Color{0, 0, 0, 0});
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    Color At(int x, int y) const { return m_pixels[Index(x, y)]; }
    void Set(int x, int y, Color c) { m_pixels[Index(x, y)] = c; }

  private:
    size_t Index(int x, int y) const {
        return static_cast<size_t>(y) * static_cast<size_t>(m_width) + static_cast<size_t>(x);
    }
    int m_width;
    int m_height;
    std::vector<Color> m_pixels;
};

struct PointF {
    double x = 0, y = 0;
};

// Shapes in design units (a square of `size` units maps onto the whole output), painted in
// the order they were added.
class Scene {
  public:
    explicit Scene(double size) : m_size(size) {}

    void Rect(double x0, double y0, double x1, double y1, Color c, double radius = 0);
    // Any simple polygon (even-odd rule), points in order.
    void Polygon(std::vector<PointF> points, Color c);
    void Circle(double cx, double cy, double r, Color c);

    // Renders at width x height pixels with n x n samples a pixel.
    Image Render(int width, int height, int samples = 4) const;

  private:
    enum class Kind { Rect, Polygon, Circle };
    struct Shape {
        Kind kind;
        Color color;
        double x0, y0, x1, y1, radius;
        std::vector<PointF> points;
    };
    static bool Inside(const Shape& s, double x, double y);

    double m_size;
    std::vector<Shape> m_shapes;
};

}  // namespace artgen
