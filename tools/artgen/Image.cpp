// Rasterising scenes: each sub-sample takes the colour of the topmost shape covering it, and
// a pixel averages its sub-samples with alpha weighting.
#include "Image.h"

#include <algorithm>
#include <cmath>

namespace artgen {

Image::Image(int width, int height, Color fill)
    : m_width(width),
      m_height(height),
      m_pixels(static_cast<size_t>(width) * static_cast<size_t>(height), fill) {}

void Scene::Rect(double x0, double y0, double x1, double y1, Color c, double radius) {
    m_shapes.push_back(Shape{Kind::Rect, c, x0, y0, x1, y1, radius, {}});
}

void Scene::Polygon(std::vector<PointF> points, Color c) {
    m_shapes.push_back(Shape{Kind::Polygon, c, 0, 0, 0, 0, 0, std::move(points)});
}

void Scene::Circle(double cx, double cy, double r, Color c) {
    m_shapes.push_back(Shape{Kind::Circle, c, cx, cy, 0, 0, r, {}});
}

bool Scene::Inside(const Shape& s, double x, double y) {
    switch (s.kind) {
        case Kind::Rect: {
            if (x < s.x0 || x >= s.x1 || y < s.y0 || y >= s.y1) {
                return false;
            }
            if (s.radius <= 0) {
                return true;
            }
            // Rounded corners: distance to the nearest inner corner centre.
            const double cx = std::clamp(x, s.x0 + s.radius, s.x1 - s.radius);
            const double cy = std::clamp(y, s.y0 + s.radius, s.y1 - s.radius);
            return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= s.radius * s.radius;
        }
        case Kind::Circle:
            return (x - s.x0) * (x - s.x0) + (y - s.y0) * (y - s.y0) <= s.radius * s.radius;
        case Kind::Polygon: {
            bool inside = false;
            const size_t n = s.points.size();
            for (size_t i = 0, j = n - 1; i < n; j = i++) {
                const PointF& a = s.points[i];
                const PointF& b = s.points[j];
                if ((a.y > y) != (b.y > y) && x < (b.x - a.x) * (y - a.y) / (b.y - a.y) + a.x) {
                    inside = !inside;
                }
            }
            return inside;
        }
    }
    return false;
}

Image Scene::Render(int width, int height, int samples) const {
    Image out(width, height);
    const double sx = m_size / width;
    const double sy = m_size / height;
    const int total = samples * samples;
    for (int py = 0; py < height; ++py) {
        for (int px = 0; px < width; ++px) {
            double r = 0, g = 0, b = 0, a = 0;
            for (int k = 0; k < total; ++k) {
                const double x = (px + (k % samples + 0.5) / samples) * sx;
                const double y = (py + (k / samples + 0.5) / samples) * sy;
                for (auto it = m_shapes.rbegin(); it != m_shapes.rend(); ++it) {
                    if (Inside(*it, x, y)) {
                        const double alpha = it->color.a / 255.0;
                        r += it->color.r * alpha;
                        g += it->color.g * alpha;
                        b += it->color.b * alpha;
                        a += alpha;
                        break;
                    }
                }
            }
            Color c{0, 0, 0, 0};
            if (a > 0) {
                c.r = static_cast<uint8_t>(std::lround(r / a));
                c.g = static_cast<uint8_t>(std::lround(g / a));
                c.b = static_cast<uint8_t>(std::lround(b / a));
                c.a = static_cast<uint8_t>(std::lround(a * 255.0 / total));
            }
            out.Set(px, py, c);
        }
    }
    return out;
}

}  // namespace artgen
