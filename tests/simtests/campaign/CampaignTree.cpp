// Planting a run's tree: every entry is created on the source's file system and recorded in the
// plan under the path it has when the copy starts.
#include "simtests/campaign/CampaignTree.h"

#include <algorithm>

#include "os/Text.h"
#include "sim/SimFileSystem.h"
#include "sim/SimPath.h"

namespace campaign {

namespace {

const char16_t* const kWords[] = {
    u"report",      u"photo",       u"Budget 2024", u"notes",   u"a",           u"x.y.z", u"README",
    u"data_backup", u"My Music",    u"tmp",         u"報告書",  u"写真",        u"日記",  u"家計簿",
    u"ｶﾀｶﾅ",        u"年賀状 2025", u"会議メモ",    u"Ünïcode", u"version 1.2", u"~tilde"};
const char16_t* const kExtensions[] = {u".txt", u".docx", u".jpg", u"",     u".tar.gz",
                                       u".TXT", u".mp3",  u".pst", u".xlsx"};
constexpr int kMaxDepth = 5;
constexpr int kMaxLargeFiles = 2;

os::WString Letters(std::mt19937_64& rng, size_t n) {
    os::WString out;
    for (size_t i = 0; i < n; ++i) {
        out.push_back(static_cast<char16_t>(u'a' + rng() % 26));
    }
    return out;
}

}  // namespace

void TreeMaker::PlantItems(uint32_t shape) {
    m_shape = shape;
    m_budget = 15 + static_cast<int>(Draw(60));
    switch (m_plan.mode) {
        case 1:
            for (size_t i = 1 + Draw(2); i > 0; --i) {
                PlantItem(u"C:", u"", true);
            }
            // The source's second drive stays empty only when the plan asks for it.
            if (!(shape & kEmptyDrive)) {
                PlantItem(u"D:", u"", Draw(4) != 0);
            }
            break;
        default:
            for (size_t i = 1 + Draw(3); i > 0; --i) {
                const os::WString parent =
                    Draw(2) == 0 ? u"C:\\Users\\taro\\Documents" : u"D:\\Files";
                PlantItem(parent, u"", m_plan.mode == 5 || Draw(3) != 0);
            }
            if (shape & kLongPaths) {
                // A chosen folder below a folder whose name is too long for its tree to fit
                // MAX_PATH: the copy's destination paths are short, its source paths are not.
                const os::WString planted = u"C:\\Deep" + os::ToWString(int(Draw(1000)));
                const os::WString real = Letters(m_rng, 170 + Draw(40));
                m_renames.emplace_back(planted + u"\\L", real);
                PlantItem(planted + u"\\L", planted + u"\\" + real, true);
            }
            break;
    }
    // Deepest first, so that every planted path still resolves when its turn comes.
    std::reverse(m_renames.begin(), m_renames.end());
    for (const auto& [planted, real] : m_renames) {
        m_fs.RenameBeyondMaxPath(planted, real);
    }
}

void TreeMaker::PlantItem(const os::WString& parent, const os::WString& recordParent, bool folder) {
    const os::WString name = UniqueName(parent, folder);
    if (name.empty()) {
        return;
    }
    for (const os::WString& item : m_plan.items) {
        if (os::EqualsNoCase(item.substr(item.rfind(u'\\') + 1), name)) {
            return;  // the list copy sends one item per name
        }
    }
    Place place;
    place.plant = parent + u"\\" + name;
    place.record = (recordParent.empty() ? parent : recordParent) + u"\\" + name;
    place.item = m_plan.items.size();
    m_plan.items.push_back(place.record);
    if (!folder) {
        std::string content = DrawContent();
        const uint32_t attributes = DrawAttributes(false);
        m_fs.WriteFile(place.plant, content, attributes);
        m_plan.entries.push_back(
            {place.record, u"", place.item, false, std::move(content), attributes, false});
        return;
    }
    m_fs.MakeFolders(place.plant);
    m_plan.entries.push_back({place.record, u"", place.item, true, "", 0, false});
    if (m_shape & kShortNames) {
        PlantLookAlikes(place);
    }
    if ((m_shape & kLongPaths) && !recordParent.empty()) {
        PlantDeepFolder(place);
    }
    if ((m_shape & kLongPaths) && m_plan.mode == 1 && m_renames.empty()) {
        PlantDeepFolder(place);
    }
    PlantFolder(place, 0);
}

void TreeMaker::PlantFolder(const Place& place, int depth) {
    const bool wide = Draw(15) == 0;
    const size_t files = wide ? 15 + Draw(25) : Draw(6);
    for (size_t i = 0; i < files && m_budget > 0; ++i) {
        const os::WString name = UniqueName(place.plant, false);
        if (!name.empty()) {
            PlantFile(place, name);
        }
    }
    const size_t folders = depth < kMaxDepth ? Draw(depth < 2 ? 4 : 3) : 0;
    for (size_t i = 0; i < folders && m_budget > 0; ++i) {
        const os::WString name = UniqueName(place.plant, true);
        if (name.empty()) {
            break;
        }
        const uint32_t attributes = DrawAttributes(true);
        const Place below = Below(place, name);
        if (m_fs.MakeFolders(below.plant, attributes)) {
            Record(place, name, true, "", attributes);
            PlantFolder(below, depth + 1);
        }
    }
}

void TreeMaker::PlantFile(const Place& place, const os::WString& name) {
    std::string content = DrawContent();
    const uint32_t attributes = DrawAttributes(false);
    if (m_fs.WriteFile(place.plant + u"\\" + name, content, attributes)) {
        Record(place, name, false, std::move(content), attributes);
    }
}

// A real file named like the short name of its neighbour, and the same for folders: created
// first, so that the long-named ones get the second alias.
void TreeMaker::PlantLookAlikes(const Place& place) {
    const auto none = [](const os::WString&) { return false; };
    const os::WString file = Letters(m_rng, 9 + Draw(8)) + u".txt";
    const os::WString folder = u"Program " + Letters(m_rng, 5);
    const os::WString fileAlias = sim::MakeShortName(file, none);
    const os::WString folderAlias = sim::MakeShortName(folder, none);
    if (m_fs.Exists(place.plant + u"\\" + fileAlias) || m_fs.Exists(place.plant + u"\\" + file) ||
        m_fs.Exists(place.plant + u"\\" + folderAlias) ||
        m_fs.Exists(place.plant + u"\\" + folder)) {
        return;
    }
    PlantFile(place, fileAlias);
    PlantFile(place, file);
    for (const os::WString& name : {folderAlias, folder}) {
        const Place below = Below(place, name);
        m_fs.MakeFolders(below.plant);
        Record(place, name, true, "", 0);
        PlantFile(below, u"inside " + name + u".txt");
    }
}

// A folder whose name takes its tree past MAX_PATH on the source.
void TreeMaker::PlantDeepFolder(const Place& place) {
    const os::WString real = Letters(m_rng, 150 + Draw(60));
    const os::WString planted = u"D" + os::ToWString(int(m_renames.size()));
    Place below = Below(place, planted);
    below.record = place.record + u"\\" + real;
    below.relative = place.relative.empty() ? real : place.relative + u"\\" + real;
    m_fs.MakeFolders(below.plant);
    Record(place, real, true, "", 0);
    m_renames.emplace_back(below.plant, real);
    PlantFile(below, Letters(m_rng, 20 + Draw(30)) + u".txt");
    const Place inner = Below(below, Letters(m_rng, 30 + Draw(20)));
    m_fs.MakeFolders(inner.plant);
    Record(below, inner.plant.substr(inner.plant.rfind(u'\\') + 1), true, "", 0);
    PlantFile(inner, Letters(m_rng, 20 + Draw(30)) + u".dat");
    PlantFile(inner, u"空.txt");
}

void TreeMaker::Record(const Place& place, const os::WString& name, bool isDir, std::string content,
                       uint32_t attributes) {
    --m_budget;
    m_plan.entries.push_back({place.record + u"\\" + name,
                              place.relative.empty() ? name : place.relative + u"\\" + name,
                              place.item, isDir, std::move(content), attributes, false});
}

TreeMaker::Place TreeMaker::Below(const Place& place, const os::WString& name) {
    Place below = place;
    below.plant += u"\\" + name;
    below.record += u"\\" + name;
    below.relative = place.relative.empty() ? name : place.relative + u"\\" + name;
    return below;
}

os::WString TreeMaker::DrawName(bool folder) {
    os::WString name;
    switch (Draw(6)) {
        case 0:
            name = Letters(m_rng, 20 + Draw(60));
            break;
        case 1:
            name =
                os::WString(kWords[Draw(std::size(kWords))]) + u" " + os::ToWString(int(Draw(100)));
            break;
        default:
            name = kWords[Draw(std::size(kWords))];
            break;
    }
    return folder ? name : name + kExtensions[Draw(std::size(kExtensions))];
}

os::WString TreeMaker::UniqueName(const os::WString& folder, bool isDir) {
    for (int attempt = 0; attempt < 20; ++attempt) {
        os::WString name = DrawName(isDir);
        if (attempt > 8) {
            name = u"n" + os::ToWString(int(m_rng() % 1000000)) + (isDir ? u"" : u".bin");
        }
        const os::WString path = folder + u"\\" + name;
        // Exists also finds a short-name alias: a new name never lands on an old entry.
        if (path.size() < 200 && !m_fs.Exists(path)) {
            return name;
        }
    }
    return u"";  // the folder is too deep for another entry
}

std::string TreeMaker::DrawContent() {
    size_t size = 0;
    const size_t kind = Draw(100);
    if (kind < 20) {
        size = 0;
    } else if (kind < 70) {
        size = 1 + Draw(3000);
    } else if (kind < 92 || m_largeFiles >= kMaxLargeFiles) {
        size = 3000 + Draw(37000);
    } else {
        ++m_largeFiles;
        size = 65536 + Draw(140000);
    }
    std::string content(size, '\0');
    uint64_t word = m_rng();
    for (size_t i = 0; i < size; ++i) {
        if (i % 8 == 0) {
            word = m_rng();
        }
        content[i] = static_cast<char>(word >> (8 * (i % 8)));
    }
    // The network's frame fault strikes the first file or folder header it meets; file data
    // that happens to look like one would be struck instead, a change TCP never makes.
    for (size_t i = 2; i < size; ++i) {
        if (content[i - 2] == '%' && content[i - 1] == '?' &&
            (content[i] == 1 || content[i] == 2)) {
            content[i - 1] = '!';
        }
    }
    return content;
}

uint32_t TreeMaker::DrawAttributes(bool folder) {
    const size_t kind = Draw(20);
    if (folder) {
        return kind == 0 ? uint32_t{os::kAttrHidden} : 0u;
    }
    if (kind < 12) {
        return os::kAttrArchive;
    }
    if (kind < 14) {
        return os::kAttrReadOnly | os::kAttrArchive;
    }
    if (kind < 16) {
        return os::kAttrHidden;
    }
    if (kind < 17) {
        return os::kAttrSystem | os::kAttrHidden;
    }
    return 0;
}

}  // namespace campaign
