// The environment copy's shared facts: the nine items it moves in processing order, the
// standard folders each side reads, and the names of the staging and registration folders.
// The source's build step (EnvCopy.cpp) and the destination's registration (EnvRegister.cpp)
// both walk the same table, so keys and folders can never disagree.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "modes/EnvItems.h"
#include "os/Types.h"

class CFolderPathInfo;

namespace env {

inline constexpr char16_t kStagingName[] = u"Ferrylo_env_files";
inline constexpr char16_t kRegistrationName[] = u"Ferrylo_env_files_reg";
inline constexpr char16_t kOrderListName[] = u"order_list.txt";
// The program's own folder below the documents, never moved as a document.
inline constexpr char16_t kOwnFolderName[] = u"ソラノワBasic";

// Version codes (XP to 10) for which the destination can take an environment copy.
constexpr uint32_t kDestinationOsMask = 0xFC0;
// Windows 7, 8 and 10: the public folders move only when both PCs run one of them.
constexpr uint32_t kPublicFoldersOsMask = 0xE00;

// The fourteen standard folder locations of one PC; empty when the shell has none.
struct Locations {
    os::WString documents, pictures, videos, music;
    os::WString publicDocuments, publicPictures, publicVideos, publicMusic;
    os::WString favorites, desktop, publicFavorites, publicDesktop, history, cookies;
};
Locations ReadLocations(CFolderPathInfo& info);

enum class Exclusion { None, Documents, PublicDocuments, Music, Desktop };

struct MoveItem {
    const char16_t* key;
    std::size_t runFlag;           // index into RunFlags
    bool isPublic;                 // walked only when both PCs have public folders
    os::WString Locations::*own;   // the folder on this PC (source or destination)
    os::WString Locations::*user;  // the user folder whose location must be known
    Exclusion exclusion;
    const char16_t* sourceTrace;
    const char16_t* destinationTrace;
};

inline constexpr std::array<MoveItem, 9> kMoveItems{{
    {u"MYDOC", kMyDoc, false, &Locations::documents, &Locations::documents, Exclusion::Documents,
     u"ID_CHECK_MYDOC", u"ID_CHECK_MYDOC"},
    {u"MYDOC2", kMyDoc, true, &Locations::publicDocuments, &Locations::documents,
     Exclusion::PublicDocuments, u"ID_CHECK_MYDOC 7->7", u"ID_CHECK_MYDOC common"},
    {u"MYPIC", kMyPic, false, &Locations::pictures, &Locations::pictures, Exclusion::None,
     u"ID_CHECK_MYPIC", u"ID_CHECK_MYPIC"},
    {u"MYPIC2", kMyPic, true, &Locations::publicPictures, &Locations::pictures, Exclusion::None,
     u"ID_CHECK_MYPIC 7->7", u"ID_CHECK_MYPIC common"},
    {u"MYVIDEO", kMyVideo, false, &Locations::videos, &Locations::videos, Exclusion::None,
     u"ID_CHECK_MYVIDEO", u"ID_CHECK_MYVIDEO"},
    {u"MYVIDEO2", kMyVideo, true, &Locations::publicVideos, &Locations::videos, Exclusion::None,
     u"ID_CHECK_MYVIDEO 7->7", u"ID_CHECK_MYVIDEO common"},
    {u"MYMUSIC", kMyMusic, false, &Locations::music, &Locations::music, Exclusion::Music,
     u"ID_CHECK_MYMUSIC", u"ID_CHECK_MYMUSIC"},
    {u"MYMUSIC2", kMyMusic, true, &Locations::publicMusic, &Locations::music, Exclusion::Music,
     u"ID_CHECK_MYMUSIC 7->7", u"ID_CHECK_MYMUSIC common"},
    {u"DESKTOP", kDesktop, false, &Locations::desktop, &Locations::desktop, Exclusion::Desktop,
     u"ID_CHECK_DESKTOP", u"ID_CHECK_DESKTOP"},
}};

// True when the entry `name` of the item's source folder `folder` is not sent.
bool IsExcluded(const MoveItem& item, const Locations& locations, const os::WString& folder,
                const os::WString& name);

// "order_list.txt": one line per run of equal keys (the empty key of the list itself ends
// no run and is not written).
std::string OrderListText(const std::vector<os::WString>& keys);

}  // namespace env
