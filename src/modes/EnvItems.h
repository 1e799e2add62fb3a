// The environment copy's item table: 26 items in the order the selection dialog and the build
// step use. Only the five user-folder items can be chosen and moved; the others keep their
// places, check-box ids and keys but stay hidden and off.
#pragma once

#include <array>
#include <cstddef>

namespace env {

constexpr std::size_t kItemCount = 26;

struct Item {
    int controlId;        // check box on the selection panel
    const char16_t* key;  // staging subfolder name and "order_list.txt" line
    const char16_t* caption;
    bool shown;
};

// Indices of the items that move data.
constexpr std::size_t kMyDoc = 0;
constexpr std::size_t kMyPic = 1;
constexpr std::size_t kMyVideo = 2;
constexpr std::size_t kMyMusic = 3;
constexpr std::size_t kDesktop = 5;

inline constexpr std::array<Item, kItemCount> kItems{{
    {1025, u"MYDOC", u"マイ　ドキュメント", true},
    {1026, u"MYPIC", u"マイ　ピクチャ", true},
    {1027, u"MYVIDEO", u"マイ　ビデオ", true},
    {1028, u"MYMUSIC", u"マイ　ミュージック", true},
    {1054, u"ITUNES", u"iTunes Music", false},
    {1029, u"DESKTOP", u"ファイル・フォルダ", true},
    {1030, u"WALLPAPER", u"壁紙※", false},
    {1038, u"IEINTSETTING", u"インターネット設定※", false},
    {1039, u"IEFAVORITES", u"お気に入り※", false},
    {1040, u"IEHISTORY", u"履歴※", false},
    {1041, u"IECOOKIE", u"クッキー※", false},
    {1042, u"IEHOMEPAGE", u"ホームページ設定※", false},
    {1043, u"IEURLAUTOCOMP", u"URLオートコンプリート※", false},
    {1050, u"FFINTSETTING", u"インターネット設定※", false},
    {1049, u"FFBOOKMARK", u"ブックマーク・履歴※", false},
    {1053, u"FFCOOKIE", u"クッキー※", false},
    {1051, u"FFHOMEPAGE", u"ホームページ設定※", false},
    {1052, u"FFURLAUTOCOMP", u"フォームの入力履歴※", false},
    {1092, u"FFADDON", u"アドオン※", false},
    {1093, u"FFTHEME", u"テーマ※", false},
    {1044, u"OLMAIL", u"メール・アドレス帳", false},
    {1045, u"OLACCOUNT", u"アカウント※", false},
    {1047, u"OEMAIL", u"メール", false},
    {1046, u"OEACCOUNT", u"アカウント※", false},
    {1048, u"OEADDRESS", u"アドレス帳※", false},
    {1096, u"SPRTFAVORITES", u"お気に入り※", false},
}};

// What the user chose: one run flag per item of the table (the selection dialog's run flags).
using RunFlags = std::array<bool, kItemCount>;

}  // namespace env
