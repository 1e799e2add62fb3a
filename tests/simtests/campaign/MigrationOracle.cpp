// The migration invariant: what arrived, what the user was told, and what else changed.
#include "simtests/campaign/MigrationOracle.h"

#include <sstream>

#include "os/Text.h"
#include "os/Ui.h"
#include "sim/SimFileSystem.h"

namespace campaign {

namespace {

constexpr uint32_t kKeptAttributes = os::kAttrReadOnly | os::kAttrHidden | os::kAttrSystem;

// Texts that tell a user the copy did not finish, by their beginnings.
const char16_t* const kNotFinishedTexts[] = {
    u"エラーが発生したのでコピーを中止します。",
    u"引越先の空き容量が少なくなりましたので引越を中止します。",
    u"コピーを中止しました",
    u"接続が切断されました",
};
constexpr size_t kListingPathColumn = 34;
const char16_t kStopQuestion[] = u"中断してもよろしいですか？";

std::string Utf8(const os::WString& text) {
    return os::ToUtf8(text);
}

// Lines of a listing whose path starts with one of `prefixes` are left out.
std::string Without(const std::string& listing, const std::vector<std::string>& prefixes) {
    std::istringstream in(listing);
    std::string line;
    std::string out;
    while (std::getline(in, line)) {
        // "DRHSA size hash path": the fields before the path have a fixed width.
        const std::string path =
            line.size() > kListingPathColumn ? line.substr(kListingPathColumn) : line;
        bool skip = false;
        for (const std::string& prefix : prefixes) {
            skip = skip || os::StartsWithNoCase(os::FromUtf8(path), os::FromUtf8(prefix));
        }
        if (!skip) {
            out += line + "\n";
        }
    }
    return out;
}

// The first line in which two listings differ, for a readable reason.
std::string FirstDifference(const std::string& before, const std::string& after) {
    std::istringstream a(before);
    std::istringstream b(after);
    std::string x;
    std::string y;
    while (true) {
        const bool hasX = static_cast<bool>(std::getline(a, x));
        const bool hasY = static_cast<bool>(std::getline(b, y));
        if (!hasX && !hasY) {
            return "";
        }
        if (!hasX || !hasY || x != y) {
            return "before \"" + (hasX ? x : std::string("(end)")) + "\", after \"" +
                   (hasY ? y : std::string("(end)")) + "\"";
        }
    }
}

// Whether every component of `path` below `base` is an entry's real name: a path that only
// resolves through a short-name alias names another entry.
bool HasRealNames(sim::SimFileSystem& fs, const os::WString& path, const os::WString& base) {
    for (size_t end = path.find(u'\\', base.size() + 1);; end = path.find(u'\\', end + 1)) {
        const os::WString prefix = path.substr(0, end);
        os::FindData found;
        if (!fs.FindFirst(prefix, found) ||
            !os::EqualsNoCase(found.name, prefix.substr(prefix.rfind(u'\\') + 1))) {
            return false;
        }
        if (end == os::WString::npos) {
            return true;
        }
    }
}

}  // namespace

OutsideSnapshot TakeOutsideSnapshot(sim::SimFileSystem& fs, const os::WString& base,
                                    const std::vector<os::WString>& allowed) {
    OutsideSnapshot snapshot;
    const uint32_t drives = fs.LogicalDrives();
    for (char16_t letter = u'A'; letter <= u'Z'; ++letter) {
        if (!(drives & (1u << (letter - u'A')))) {
            continue;
        }
        std::vector<std::string> skipped;
        for (const os::WString& path : allowed) {
            skipped.push_back(Utf8(path));
        }
        if (os::FoldUpper(base[0]) == letter) {
            skipped.push_back(Utf8(base.substr(3)) + "\\");
        }
        snapshot[letter] = Without(fs.Dump(os::WString(1, letter) + u":\\", false), skipped);
    }
    return snapshot;
}

os::WString DestinationPathOf(const Plan& plan, const PlantedEntry& entry, const os::WString& base,
                              const os::WString& sourceComputer) {
    if (plan.mode == 1) {
        return base + u"\\" + sourceComputer + u"の" + os::WString(1, entry.source[0]) +
               u"ドライブ\\" + entry.source.substr(3);
    }
    const os::WString& item = plan.items[entry.item];
    const os::WString top = base + u"\\" + item.substr(item.rfind(u'\\') + 1);
    return entry.relative.empty() ? top : top + u"\\" + entry.relative;
}

std::set<os::WString> PathsShownAsFailed(sim::SimFileSystem& destination, const os::WString& base) {
    std::set<os::WString> out;
    const auto log = destination.ReadFile(base + u"\\FerryloLog.txt");
    if (!log) {
        return out;
    }
    std::istringstream in(*log);
    std::string line;
    bool first = true;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (!first && !line.empty()) {
            out.insert(os::ToUpper(os::FromUtf8(line)));
        }
        first = false;
    }
    return out;
}

bool SaidItDidNotFinish(const std::vector<SeenBox>& boxes) {
    for (const SeenBox& box : boxes) {
        if (box.text == kStopQuestion && box.answer == os::kIdYes) {
            return true;
        }
        for (const char16_t* text : kNotFinishedTexts) {
            if (box.text.rfind(text, 0) == 0) {
                return true;
            }
        }
    }
    return false;
}

Verdict CheckMigration(const MigrationOutcome& outcome) {
    Verdict verdict;
    sim::SimFileSystem& destination = *outcome.destination;
    const std::set<os::WString> shown = PathsShownAsFailed(destination, outcome.base);
    const bool unfinished = SaidItDidNotFinish(outcome.boxes);

    for (const PlantedEntry& entry : outcome.plan->entries) {
        const os::WString path =
            DestinationPathOf(*outcome.plan, entry, outcome.base, outcome.sourceComputer);
        const uint32_t attributes = destination.GetAttributes(path);
        const bool exists = attributes != os::kInvalidAttributes;
        std::string fault;
        if (!exists) {
            fault = "missing";
        } else if (!HasRealNames(destination, path, outcome.base)) {
            fault = "found only through a short-name alias";
        } else if (entry.isDir != ((attributes & os::kAttrDirectory) != 0)) {
            fault = entry.isDir ? "a file instead of a folder" : "a folder instead of a file";
        } else if (!entry.isDir) {
            const std::string arrived = destination.ReadFile(path).value_or("");
            std::vector<std::string> acceptable{entry.content};
            if (entry.changesWhileRead) {
                // Either whole version of a file rewritten while it was read is a true copy.
                if (const auto now = outcome.source->ReadFile(entry.source)) {
                    acceptable.push_back(*now);
                }
            }
            bool same = false;
            for (const std::string& content : acceptable) {
                same = same || arrived == content;
            }
            if (!same) {
                fault = "differs (" + std::to_string(arrived.size()) + " bytes arrived, " +
                        std::to_string(entry.content.size()) + " planted)";
            } else if ((attributes & kKeptAttributes) != (entry.attributes & kKeptAttributes)) {
                fault = "attributes differ";
            }
        }
        if (fault.empty()) {
            ++verdict.identical;
        } else if (shown.count(os::ToUpper(path)) > 0) {
            ++verdict.listed;
        } else if (unfinished) {
            ++verdict.excused;
        } else {
            verdict.violations.push_back(
                Utf8(path) + ": " + fault +
                ", not in FerryloLog.txt, and no message said the copy did not finish");
        }
    }

    const OutsideSnapshot after =
        TakeOutsideSnapshot(destination, outcome.base, outcome.allowedOutside);
    for (const auto& [letter, listing] : outcome.outsideBefore) {
        const auto found = after.find(letter);
        const std::string now = found == after.end() ? "" : found->second;
        if (now != listing) {
            verdict.violations.push_back("changed outside the base folder on " +
                                         Utf8(os::WString(1, letter)) + ": " +
                                         FirstDifference(listing, now));
        }
    }
    return verdict;
}

}  // namespace campaign
