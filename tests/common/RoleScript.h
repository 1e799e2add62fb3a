// Every run of the program starts with the role dialog: these script a simulated user through
// it, and describe what a painted window drew in a form that compares readably.
#pragma once

#include <string>
#include <vector>

#include "os/Text.h"
#include "resource.h"
#include "sim/SimCanvas.h"
#include "sim/SimDialogWindow.h"
#include "sim/SimUi.h"

namespace rolescript {

// Points inside the role dialog's buttons.
constexpr os::Point kSourcePanel{150, 220};
constexpr os::Point kDestinationPanel{430, 220};
constexpr os::Point kQuitButton{500, 350};
constexpr os::Point kManualButton{60, 25};

enum class Role { Source, Destination };

// The user clicks the role's panel and types the partner's name or address, then Enter.
inline void ChooseRole(sim::SimUi& ui, Role role, const os::WString& partner = u"10.0.0.7") {
    ui.ClickAt(role == Role::Source ? kSourcePanel : kDestinationPanel).In(IDD_IPNUMBER);
    ui.Do("type the partner", [partner](sim::SimDialogWindow& w) {
          w.SetItemText(IDC_PARTNER_NAME, partner);
      }).In(IDD_PARTNER);
    ui.PressEnter().In(IDD_PARTNER);
}

// "bitmap 287 at 0,0", "text 接続できました。 at 30,64 h20 w700 #FFFFFF".
inline std::string Describe(const sim::DrawOp& op) {
    const std::string at = " at " + std::to_string(op.x) + "," + std::to_string(op.y);
    switch (op.kind) {
        case sim::DrawOp::Kind::Bitmap:
            return "bitmap " + std::to_string(op.id) + at;
        case sim::DrawOp::Kind::Icon:
            return "icon " + std::to_string(op.id) + at;
        case sim::DrawOp::Kind::Text: {
            char colour[16];
            std::snprintf(colour, sizeof colour, " #%06X", op.rgb);
            return "text " + os::ToUtf8(op.text) + at + " h" + std::to_string(op.font.height) +
                   " w" + std::to_string(op.font.weight) + " " + os::ToUtf8(op.font.face) + colour;
        }
        case sim::DrawOp::Kind::Fill:
            return "fill";
    }
    return "?";
}

inline std::vector<std::string> Describe(const sim::DrawList& list, size_t from = 0) {
    std::vector<std::string> out;
    for (size_t i = from; i < list.size(); ++i) {
        out.push_back(Describe(list[i]));
    }
    return out;
}

// Expected rows in the same form.
inline std::string Bitmap(int id, int x, int y) {
    return "bitmap " + std::to_string(id) + " at " + std::to_string(x) + "," + std::to_string(y);
}
inline std::string Text(const char* utf8, int x, int y, bool large = false) {
    return std::string("text ") + utf8 + " at " + std::to_string(x) + "," + std::to_string(y) +
           (large ? " h20 w700 " : " h13 w0 ") + "ＭＳ Ｐゴシック #FFFFFF";
}

}  // namespace rolescript
