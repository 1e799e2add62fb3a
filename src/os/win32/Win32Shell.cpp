// Opening documents and folders through the shell, saving shortcuts with IShellLinkW, the
// browse-for-computer dialog, the open-file dialog and the folder picker, and the category of
// the first connected network.
#include "os/win32/Win32Shell.h"

#include "os/win32/WinApi.h"

#include <commctrl.h>
#include <commdlg.h>
#include <netlistmgr.h>
#include <objbase.h>
#include <objidl.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

#include "os/win32/ComPtr.h"
#include "os/win32/Win32DialogWindow.h"
#include "os/win32/WinText.h"

namespace os::win32 {

namespace {

// The first network the manager lists as connected; false when there is none.
bool FirstConnectedNetwork(ComPtr<INetworkListManager>& manager, ComPtr<INetwork>& network) {
    if (FAILED(CoCreateInstance(CLSID_NetworkListManager, nullptr, CLSCTX_ALL,
                                IID_INetworkListManager,
                                reinterpret_cast<void**>(manager.Out())))) {
        return false;
    }
    ComPtr<IEnumNetworks> networks;
    if (FAILED(manager->GetNetworks(NLM_ENUM_NETWORK_CONNECTED, networks.Out())) || !networks) {
        return false;
    }
    ULONG fetched = 0;
    // S_FALSE with nothing fetched: no connected network.
    return networks->Next(1, network.Out(), &fetched) == S_OK && fetched == 1 && network;
}

}  // namespace

bool Win32Shell::Open(const WString& verb, const WString& path) {
    HINSTANCE result =
        ShellExecuteW(nullptr, WOrNull(verb), W(path), nullptr, nullptr, SW_SHOWNORMAL);
    // Values up to 32 are error codes.
    return reinterpret_cast<INT_PTR>(result) > 32;
}

bool Win32Shell::ComInitialize() {
    // S_FALSE (already initialised on this thread) counts too and needs its own uninitialise.
    return SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
}

void Win32Shell::ComUninitialize() {
    CoUninitialize();
}

bool Win32Shell::SaveShortcut(const WString& linkPath, const WString& target,
                              const WString& description, const WString& arguments) {
    ComPtr<IShellLinkW> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(link.Out())))) {
        return false;
    }
    if (FAILED(link->SetPath(W(target))) || FAILED(link->SetDescription(W(description))) ||
        FAILED(link->SetArguments(W(arguments))) || FAILED(link->SetShowCmd(SW_SHOWNORMAL))) {
        return false;
    }
    ComPtr<IPersistFile> file;
    if (FAILED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.Out())))) {
        return false;
    }
    return SUCCEEDED(file->Save(W(linkPath), TRUE));
}

bool Win32Shell::BrowseForComputer(Dialog* owner, const WString& title, WString& name) {
    PIDLIST_ABSOLUTE root = nullptr;
    HWND hwnd = Win32DialogWindow::HandleOf(owner);
    if (FAILED(SHGetFolderLocation(hwnd, CSIDL_NETWORK, nullptr, 0, &root))) {
        root = nullptr;  // the browser then starts at the desktop
    }
    wchar_t display[MAX_PATH] = {};
    BROWSEINFOW info{};
    info.hwndOwner = hwnd;
    info.pidlRoot = root;
    info.pszDisplayName = display;
    info.lpszTitle = W(title);
    info.ulFlags = BIF_BROWSEFORCOMPUTER;
    PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&info);
    CoTaskMemFree(root);
    if (!chosen) {
        return false;
    }
    CoTaskMemFree(chosen);
    name = FromW(display);
    return true;
}

namespace {

// Room for the folder and the names of a multiple selection. 200 names of the longest a file
// system allows need about 52 Ki characters; a user who selects a whole folder of thousands of
// photos picks far more, and a selection that does not fit makes the dialog fail as if
// cancelled, with nothing added and no limit message. 1 Mi characters (2 MB, for as long as
// the dialog is open) holds tens of thousands of ordinary names.
constexpr size_t kOpenFileBufferChars = size_t{1} << 20;
static_assert(kOpenFileBufferChars > MAX_PATH + 200 * (255 + 1) + 1,
              "the open-file dialog must hold 200 long names");

// The folder a picker starts in: `initial` without a trailing "\*.*" pattern.
WString StartFolder(const WString& initial) {
    const WString pattern = u"\\*.*";
    if (initial.size() > pattern.size() &&
        initial.compare(initial.size() - pattern.size(), pattern.size(), pattern) == 0) {
        return initial.substr(0, initial.size() - pattern.size());
    }
    return initial;
}

// Selects the initial folder once the old folder picker is up.
int CALLBACK FolderPickerCallback(HWND hwnd, UINT message, LPARAM, LPARAM data) {
    if (message == BFFM_INITIALIZED && data != 0) {
        SendMessageW(hwnd, BFFM_SETSELECTIONW, TRUE, data);
    }
    return 0;
}

// A shell item's file-system path; false for an item outside the file system.
bool ItemPath(IShellItem* item, WString& path) {
    wchar_t* text = nullptr;
    if (SUCCEEDED(item->GetDisplayName(SIGDN_FILESYSPATH, &text))) {
        path = FromW(text);
        CoTaskMemFree(text);
        return true;
    }
    // The desktop as the root of the namespace: its folder on disk.
    PIDLIST_ABSOLUTE list = nullptr;
    wchar_t buffer[MAX_PATH] = {};
    if (FAILED(SHGetIDListFromObject(item, &list))) {
        return false;
    }
    const bool named = SHGetPathFromIDListW(list, buffer) != FALSE;
    CoTaskMemFree(list);
    if (named) {
        path = FromW(buffer);
    }
    return named;
}

// Several folders named in the picker's name box at once. Wine's file dialog handles them
// unsafely: it keeps the first and reads a list entry it never wrote for the others, which
// gives a stray item or brings the program down. So when the user confirms with several names
// that are all existing folders, the dialog is closed as cancelled before it acts, and those
// folders are the answer. (Where the dialog's buttons are not plain dialog commands, as in
// the Windows dialog, the command never comes here and the dialog's own results stand.)
class FolderBoxNotes : public IFileDialogEvents {
  public:
    // The folders the name box named when the user confirmed, in the box's order.
    std::vector<WString> m_folders;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IFileDialogEvents)) {
            *out = static_cast<IFileDialogEvents*>(this);
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    // Lives on the caller's stack, beyond the dialog.
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    // The dialog's window exists once it shows its first folder.
    HRESULT STDMETHODCALLTYPE OnFolderChange(IFileDialog* dialog) override {
        ComPtr<IOleWindow> window;
        HWND hwnd = nullptr;
        if (!m_hwnd &&
            SUCCEEDED(
                dialog->QueryInterface(IID_IOleWindow, reinterpret_cast<void**>(window.Out()))) &&
            SUCCEEDED(window->GetWindow(&hwnd)) && hwnd &&
            SetWindowSubclass(hwnd, &FolderBoxNotes::DialogProc, kSubclassId,
                              reinterpret_cast<DWORD_PTR>(this))) {
            m_hwnd = hwnd;
            m_dialog = dialog;
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnFileOk(IFileDialog*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnFolderChanging(IFileDialog*, IShellItem*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnSelectionChange(IFileDialog*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnShareViolation(IFileDialog*, IShellItem*,
                                               FDE_SHAREVIOLATION_RESPONSE*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE OnTypeChange(IFileDialog*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnOverwrite(IFileDialog*, IShellItem*,
                                          FDE_OVERWRITE_RESPONSE*) override {
        return E_NOTIMPL;
    }

    // Ends the subclass if the dialog's window outlived Show.
    void Detach() {
        if (m_hwnd && IsWindow(m_hwnd)) {
            RemoveWindowSubclass(m_hwnd, &FolderBoxNotes::DialogProc, kSubclassId);
        }
        m_hwnd = nullptr;
    }

  private:
    static constexpr UINT_PTR kSubclassId = 1;

    static LRESULT CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR, DWORD_PTR data) {
        auto* self = reinterpret_cast<FolderBoxNotes*>(data);
        if (message == WM_COMMAND && LOWORD(wParam) == IDOK && self->NoteNamedFolders()) {
            PostMessageW(hwnd, WM_COMMAND, IDCANCEL, 0);
            return 0;
        }
        if (message == WM_NCDESTROY) {
            RemoveWindowSubclass(hwnd, &FolderBoxNotes::DialogProc, kSubclassId);
            self->m_hwnd = nullptr;
        }
        return DefSubclassProc(hwnd, message, wParam, lParam);
    }

    // True when the name box names several folders and every one exists.
    bool NoteNamedFolders() {
        m_folders.clear();
        wchar_t* text = nullptr;
        if (FAILED(m_dialog->GetFileName(&text)) || !text) {
            return false;
        }
        const std::vector<WString> names = SplitNameBox(FromW(text));
        CoTaskMemFree(text);
        ComPtr<IShellItem> current;
        WString folder;
        if (names.size() < 2 || FAILED(m_dialog->GetFolder(current.Out())) ||
            !ItemPath(current.Get(), folder)) {
            return false;
        }
        if (!folder.empty() && folder.back() == u'\\') {
            folder.pop_back();
        }
        std::vector<WString> folders;
        for (const WString& name : names) {
            const bool absolute = (name.size() > 2 && name[1] == u':') || name.starts_with(u"\\\\");
            WString path = absolute ? name : folder + u"\\" + name;
            const DWORD attributes = GetFileAttributesW(W(path));
            if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
                return false;
            }
            folders.push_back(std::move(path));
        }
        m_folders = std::move(folders);
        return true;
    }

    HWND m_hwnd = nullptr;
    IFileDialog* m_dialog = nullptr;  // the dialog whose window is subclassed
};

// The file dialog of Vista and later in its folder form, with several folders at a time.
// Nothing when that dialog cannot be created (COM missing, or an older system); false when
// the user cancels or it fails once shown.
std::optional<bool> PickFoldersItemDialog(HWND owner, const WString& start,
                                          std::vector<WString>& paths) {
    ComPtr<IFileOpenDialog> dialog;
    if (FAILED(CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IFileOpenDialog, reinterpret_cast<void**>(dialog.Out())))) {
        return std::nullopt;
    }
    FILEOPENDIALOGOPTIONS options = 0;
    if (FAILED(dialog->GetOptions(&options)) ||
        FAILED(dialog->SetOptions(options | FOS_PICKFOLDERS | FOS_ALLOWMULTISELECT |
                                  FOS_FORCEFILESYSTEM | FOS_PATHMUSTEXIST))) {
        return std::nullopt;
    }
    if (!start.empty()) {
        ComPtr<IShellItem> folder;
        if (SUCCEEDED(SHCreateItemFromParsingName(W(start), nullptr, IID_IShellItem,
                                                  reinterpret_cast<void**>(folder.Out())))) {
            dialog->SetFolder(folder.Get());
        }
    }
    FolderBoxNotes notes;
    DWORD cookie = 0;
    const bool advised = SUCCEEDED(dialog->Advise(&notes, &cookie));
    // Cancel comes back as HRESULT_FROM_WIN32(ERROR_CANCELLED).
    const HRESULT shown = dialog->Show(owner);
    notes.Detach();
    if (advised) {
        dialog->Unadvise(cookie);
    }
    if (!notes.m_folders.empty()) {
        paths = std::move(notes.m_folders);
        return true;
    }
    if (FAILED(shown)) {
        return false;
    }
    ComPtr<IShellItemArray> items;
    DWORD count = 0;
    std::vector<WString> chosen;
    if (SUCCEEDED(dialog->GetResults(items.Out())) && SUCCEEDED(items->GetCount(&count))) {
        for (DWORD i = 0; i < count; ++i) {
            ComPtr<IShellItem> item;
            WString path;
            // An item outside the file system has nothing to copy.
            if (SUCCEEDED(items->GetItemAt(i, item.Out())) && ItemPath(item.Get(), path)) {
                chosen.push_back(std::move(path));
            }
        }
    }
    if (chosen.empty()) {
        return false;
    }
    paths = std::move(chosen);
    return true;
}

// The browse-for-folder dialog: one folder.
bool PickFolderBrowseDialog(HWND owner, const WString& start, std::vector<WString>& paths) {
    wchar_t display[MAX_PATH] = {};
    BROWSEINFOW info{};
    info.hwndOwner = owner;
    info.pszDisplayName = display;
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    info.lpfn = FolderPickerCallback;
    info.lParam = reinterpret_cast<LPARAM>(W(start));
    PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&info);
    if (!chosen) {
        return false;
    }
    wchar_t path[MAX_PATH] = {};
    const bool named = SHGetPathFromIDListW(chosen, path) != FALSE;
    CoTaskMemFree(chosen);
    if (!named) {
        return false;
    }
    paths.assign(1, FromW(path));
    return true;
}

}  // namespace

std::vector<WString> ParseOpenFileNames(const wchar_t* buffer) {
    // One item: its full path. Several: the folder, then each name, each ended by a NUL, and
    // an empty string at the end.
    std::vector<WString> paths;
    const wchar_t* p = buffer;
    const WString first = FromW(p);
    if (first.empty()) {
        return paths;
    }
    p += first.size() + 1;
    if (*p == L'\0') {
        paths.push_back(first);
        return paths;
    }
    const WString folder = first.back() == u'\\' ? first : first + u"\\";
    while (*p != L'\0') {
        const WString name = FromW(p);
        paths.push_back(folder + name);
        p += name.size() + 1;
    }
    return paths;
}

std::vector<WString> SplitNameBox(const WString& text) {
    std::vector<WString> names;
    if (text.find(u'"') == WString::npos) {
        const size_t first = text.find_first_not_of(u' ');
        if (first != WString::npos) {
            names.push_back(text.substr(first, text.find_last_not_of(u' ') - first + 1));
        }
        return names;
    }
    size_t at = 0;
    while ((at = text.find(u'"', at)) != WString::npos) {
        const size_t end = text.find(u'"', at + 1);
        const WString name =
            text.substr(at + 1, end == WString::npos ? WString::npos : end - at - 1);
        if (!name.empty()) {
            names.push_back(name);
        }
        if (end == WString::npos) {
            break;
        }
        at = end + 1;
    }
    return names;
}

bool Win32Shell::OpenFileNames(Dialog* owner, const WString& filter, const WString& initialName,
                               std::vector<WString>& paths) {
    // The filter's "|" separators become the NULs the dialog wants.
    WString filterZ = filter;
    for (char16_t& c : filterZ) {
        if (c == u'|') {
            c = u'\0';
        }
    }
    filterZ.push_back(u'\0');
    std::vector<wchar_t> buffer(kOpenFileBufferChars, L'\0');
    const size_t initialChars = std::min(initialName.size(), kOpenFileBufferChars - 1);
    for (size_t i = 0; i < initialChars; ++i) {
        buffer[i] = static_cast<wchar_t>(initialName[i]);
    }
    OPENFILENAMEW info{};
    info.lStructSize = sizeof(info);
    info.hwndOwner = Win32DialogWindow::HandleOf(owner);
    info.lpstrFilter = W(filterZ);
    info.lpstrFile = buffer.data();
    info.nMaxFile = static_cast<DWORD>(buffer.size());
    info.Flags = OFN_ALLOWMULTISELECT | OFN_EXPLORER | OFN_NOVALIDATE | OFN_HIDEREADONLY;
    if (!GetOpenFileNameW(&info)) {
        return false;
    }
    std::vector<WString> chosen = ParseOpenFileNames(buffer.data());
    if (chosen.empty()) {
        return false;
    }
    paths = std::move(chosen);
    return true;
}

bool Win32Shell::BrowseForFolders(Dialog* owner, const WString& initialFolder,
                                  std::vector<WString>& paths) {
    HWND hwnd = Win32DialogWindow::HandleOf(owner);
    const WString start = StartFolder(initialFolder);
    if (const std::optional<bool> picked = PickFoldersItemDialog(hwnd, start, paths)) {
        return *picked;
    }
    return PickFolderBrowseDialog(hwnd, start, paths);
}

bool Win32Shell::GetNetworkCategory(int& category) {
    ComPtr<INetworkListManager> manager;
    ComPtr<INetwork> network;
    NLM_NETWORK_CATEGORY value{};
    if (!FirstConnectedNetwork(manager, network) || FAILED(network->GetCategory(&value))) {
        return false;
    }
    category = static_cast<int>(value);
    return true;
}

bool Win32Shell::ChangeNetworkCategory(int expected, int category) {
    ComPtr<INetworkListManager> manager;
    ComPtr<INetwork> network;
    NLM_NETWORK_CATEGORY value{};
    if (!FirstConnectedNetwork(manager, network) || FAILED(network->GetCategory(&value)) ||
        static_cast<int>(value) != expected) {
        return false;
    }
    return SUCCEEDED(network->SetCategory(static_cast<NLM_NETWORK_CATEGORY>(category)));
}

}  // namespace os::win32
