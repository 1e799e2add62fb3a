// The recording canvas of the simulated dialog host.
#include "sim/SimCanvas.h"

namespace sim {

void SimCanvas::DrawBitmap(int id, int x, int y) {
    DrawOp op;
    op.kind = DrawOp::Kind::Bitmap;
    op.id = id;
    op.x = x;
    op.y = y;
    m_record->push_back(op);
}

void SimCanvas::DrawText(const os::WString& text, int x, int y, const os::FontSpec& font,
                         uint32_t rgb) {
    DrawOp op;
    op.kind = DrawOp::Kind::Text;
    op.text = text;
    op.x = x;
    op.y = y;
    op.font = font;
    op.rgb = rgb;
    m_record->push_back(op);
}

void SimCanvas::FillRect(const os::Rect& rect, uint32_t rgb) {
    DrawOp op;
    op.kind = DrawOp::Kind::Fill;
    op.rect = rect;
    op.rgb = rgb;
    m_record->push_back(op);
}

void SimCanvas::DrawIcon(int id, int x, int y) {
    DrawOp op;
    op.kind = DrawOp::Kind::Icon;
    op.id = id;
    op.x = x;
    op.y = y;
    m_record->push_back(op);
}

const DrawOp* FindBitmap(const DrawList& list, int id) {
    for (auto it = list.rbegin(); it != list.rend(); ++it) {
        if (it->kind == DrawOp::Kind::Bitmap && it->id == id) {
            return &*it;
        }
    }
    return nullptr;
}

const DrawOp* FindText(const DrawList& list, const os::WString& text) {
    for (auto it = list.rbegin(); it != list.rend(); ++it) {
        if (it->kind == DrawOp::Kind::Text && it->text == text) {
            return &*it;
        }
    }
    return nullptr;
}

std::vector<os::WString> Texts(const DrawList& list) {
    std::vector<os::WString> out;
    for (const DrawOp& op : list) {
        if (op.kind == DrawOp::Kind::Text) {
            out.push_back(op.text);
        }
    }
    return out;
}

}  // namespace sim
