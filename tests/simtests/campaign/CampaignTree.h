// Random trees for the fault campaign, planted on a simulated source PC and recorded in the plan
// with the paths the oracle will look for.
#pragma once

#include <random>

#include "simtests/campaign/CampaignPlan.h"

namespace campaign {

class TreeMaker {
  public:
    TreeMaker(std::mt19937_64& rng, sim::SimFileSystem& fs, Plan& plan)
        : m_rng(rng), m_fs(fs), m_plan(plan) {}

    // The chosen items of the plan's mode with their trees; `shape` may ask for look-alike
    // short names and folders deeper than MAX_PATH.
    void PlantItems(uint32_t shape);

  private:
    // `plant` is where an entry is created now, `record` the path it has once the deep
    // folders got their real names.
    struct Place {
        os::WString plant;
        os::WString record;
        os::WString relative;
        size_t item = 0;
    };

    void PlantItem(const os::WString& parent, const os::WString& recordParent, bool folder);
    void PlantFolder(const Place& place, int depth);
    void PlantFile(const Place& place, const os::WString& name);
    void PlantLookAlikes(const Place& place);
    void PlantDeepFolder(const Place& place);
    void Record(const Place& place, const os::WString& name, bool isDir, std::string content,
                uint32_t attributes);
    static Place Below(const Place& place, const os::WString& name);
    os::WString DrawName(bool folder);
    os::WString UniqueName(const os::WString& folder, bool isDir);
    std::string DrawContent();
    uint32_t DrawAttributes(bool folder);
    size_t Draw(size_t n) { return static_cast<size_t>(m_rng() % n); }

    std::mt19937_64& m_rng;
    sim::SimFileSystem& m_fs;
    Plan& m_plan;
    uint32_t m_shape = 0;
    int m_budget = 0;  // entries still to plant
    int m_largeFiles = 0;
    std::vector<std::pair<os::WString, os::WString>> m_renames;  // planted path, real name
};

}  // namespace campaign
