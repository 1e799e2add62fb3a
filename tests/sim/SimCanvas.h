// A canvas that records what is drawn on it, so that a test can assert what a simulated
// screen shows: bitmaps and icons with their positions, texts with position, font and colour,
// and filled rectangles, in drawing order.
#pragma once

#include <memory>
#include <vector>

#include "os/Ui.h"

namespace sim {

struct DrawOp {
    enum class Kind { Bitmap, Icon, Text, Fill };
    Kind kind = Kind::Bitmap;
    int id = 0;  // bitmap or icon
    int x = 0;
    int y = 0;
    os::WString text;
    os::FontSpec font;
    uint32_t rgb = 0;
    os::Rect rect;  // fills
};
using DrawList = std::vector<DrawOp>;

class SimCanvas : public os::Canvas {
  public:
    // Appends to `record`, which may outlive the canvas.
    explicit SimCanvas(std::shared_ptr<DrawList> record) : m_record(std::move(record)) {}

    void DrawBitmap(int id, int x, int y) override;
    void DrawText(const os::WString& text, int x, int y, const os::FontSpec& font,
                  uint32_t rgb) override;
    void FillRect(const os::Rect& rect, uint32_t rgb) override;
    void DrawIcon(int id, int x, int y) override;

  private:
    std::shared_ptr<DrawList> m_record;
};

// Look-ups for assertions; null when nothing matches. The last match wins, as it is on top.
const DrawOp* FindBitmap(const DrawList& list, int id);
const DrawOp* FindText(const DrawList& list, const os::WString& text);
std::vector<os::WString> Texts(const DrawList& list);

}  // namespace sim
