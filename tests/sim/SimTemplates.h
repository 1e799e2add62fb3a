// What the dialog templates of the resource script give a new window: captions and list-box
// styles, so simulated windows start as the real ones do.
#pragma once

namespace sim {

class SimUi;
void InstallTemplates(SimUi& ui);

}  // namespace sim
