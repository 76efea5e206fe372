// The wizard's report list (a list view in another process): its rows read
// through memory lent in the installer's process, and a row ticked with the
// keyboard alone, as a person without a mouse does it.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <string>
#include <vector>

#include "DriverActions.h"
#include "DriverWindows.h"

namespace driver {

namespace {

constexpr DWORD kKeyPauseMs = 60;

struct Row {
    std::wstring texts[3];
    int group = -1;
    bool checked = false;
    bool heading = false;  // a group's heading row (a list view without group view)
};

// Memory in the list's process for one LVITEMW and its text.
class RemoteItem {
public:
    explicit RemoteItem(HWND list) {
        DWORD processId = 0;
        GetWindowThreadProcessId(list, &processId);
        process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
        if (process_) memory_ = VirtualAllocEx(process_, nullptr, kSize, MEM_COMMIT, PAGE_READWRITE);
    }
    ~RemoteItem() {
        if (memory_) VirtualFreeEx(process_, memory_, 0, MEM_RELEASE);
        if (process_) CloseHandle(process_);
    }
    bool Ok() const { return memory_ != nullptr; }
    // Asks the list for one item's text in `column` and, for column 0, its group.
    bool Read(HWND list, int item, int column, std::wstring& text, int& group) {
        LVITEMW request{};
        request.mask = LVIF_TEXT | (column == 0 ? LVIF_GROUPID : 0);
        request.iItem = item;
        request.iSubItem = column;
        request.pszText = reinterpret_cast<wchar_t*>(static_cast<char*>(memory_) + sizeof(LVITEMW));
        request.cchTextMax = kTextChars;
        if (!WriteProcessMemory(process_, memory_, &request, sizeof request, nullptr)) return false;
        SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(memory_));
        LVITEMW answer{};
        wchar_t buffer[kTextChars + 1] = {};
        if (!ReadProcessMemory(process_, memory_, &answer, sizeof answer, nullptr) ||
            !ReadProcessMemory(process_, request.pszText, buffer, kTextChars * sizeof(wchar_t), nullptr))
            return false;
        text = buffer;
        if (column == 0) group = answer.iGroupId;
        return true;
    }

private:
    static constexpr int kTextChars = 260;
    static constexpr SIZE_T kSize = sizeof(LVITEMW) + (kTextChars + 1) * sizeof(wchar_t);
    HANDLE process_ = nullptr;
    void* memory_ = nullptr;
};

HWND FindList(HWND wizard) {
    for (const Control& control : Controls(wizard))
        if (control.kind == ControlKind::List) return control.hwnd;
    return nullptr;
}

// Without group view a group shows as a heading row: the one row without a
// check box. Its rows then get the heading's number (1 for the first).
bool ReadRows(HWND list, std::vector<Row>& rows) {
    RemoteItem remote(list);
    if (!remote.Ok()) return false;
    const bool groupView = SendMessageW(list, LVM_ISGROUPVIEWENABLED, 0, 0) != 0;
    const int count = int(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    rows.assign(size_t(count), Row());
    int headings = 0;
    for (int item = 0; item < count; ++item) {
        Row& row = rows[size_t(item)];
        for (int column = 0; column < 3; ++column)
            if (!remote.Read(list, item, column, row.texts[column], row.group)) return false;
        const LRESULT box = SendMessageW(list, LVM_GETITEMSTATE, WPARAM(item), LVIS_STATEIMAGEMASK) & LVIS_STATEIMAGEMASK;
        row.checked = box == INDEXTOSTATEIMAGEMASK(2);
        row.heading = !groupView && box == 0;
        if (row.heading) ++headings;
        if (!groupView) row.group = headings;
    }
    return true;
}

HWND FocusedWindow(HWND wizard) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(GetWindowThreadProcessId(wizard, nullptr), &info) ? info.hwndFocus : nullptr;
}

void Key(HWND target, UINT virtualKey) {
    PostMessageW(target, WM_KEYDOWN, virtualKey, 1);
    PostMessageW(target, WM_KEYUP, virtualKey, LPARAM(0xC0000001));
    Sleep(kKeyPauseMs);
}

bool Report(const std::wstring& why) {
    const std::string bytes = Utf8(L"wizard_driver: " + why + L"\n");
    std::fwrite(bytes.data(), 1, bytes.size(), stderr);
    return false;
}

}  // namespace

bool ListRows() {
    HWND wizard = FindWizard();
    HWND list = wizard ? FindList(wizard) : nullptr;
    if (!list) return Report(L"no list on the page");
    std::vector<Row> rows;
    if (!ReadRows(list, rows)) return Report(L"the list's rows cannot be read");
    std::wstring headings;
    int headingCount = 0;
    for (const Row& row : rows)
        if (row.heading) {
            ++headingCount;
            headings += L"heading " + std::to_wstring(headingCount) + L" \"" + row.texts[0] + L"\"\n";
        }
    const bool groupView = SendMessageW(list, LVM_ISGROUPVIEWENABLED, 0, 0) != 0;
    std::wstring out = groupView ? L"groups " + std::to_wstring(SendMessageW(list, LVM_GETGROUPCOUNT, 0, 0)) + L" (group view)\n"
                                 : L"groups " + std::to_wstring(headingCount) + L" (heading rows)\n" + headings;
    for (const Row& row : rows)
        if (!row.heading)
            out += L"row " + std::to_wstring(row.group) + (row.checked ? L" [x] \"" : L" [ ] \"") + row.texts[0] +
                   L"\" \"" + row.texts[1] + L"\" \"" + row.texts[2] + L"\"\n";
    const std::string bytes = Utf8(out);
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
    return true;
}

bool TickRowByKeyboard(const std::wstring& label, bool checked) {
    HWND wizard = FindWizard();
    HWND list = wizard ? FindList(wizard) : nullptr;
    if (!list) return Report(L"no list on the page");
    std::vector<Row> rows;
    if (!ReadRows(list, rows)) return Report(L"the list's rows cannot be read");
    int index = -1;
    for (size_t i = 0; i < rows.size() && index < 0; ++i)
        if (!rows[i].heading && SameLabel(rows[i].texts[0], label)) index = int(i);
    if (index < 0) return Report(L"no row \"" + label + L"\"");
    // Tab until the list has the focus, as the keyboard reaches it.
    for (int presses = 0; FocusedWindow(wizard) != list; ++presses) {
        if (presses > 12) return Report(L"Tab never reached the list");
        HWND focused = FocusedWindow(wizard);
        Key(focused ? focused : wizard, VK_TAB);
    }
    // Home, then Down to the row (rows are added in display order; headings
    // are rows the arrows pass too), then Space.
    Key(list, VK_HOME);
    for (int i = 0; i < index; ++i) Key(list, VK_DOWN);
    const int focused = int(SendMessageW(list, LVM_GETNEXTITEM, WPARAM(-1), LVNI_FOCUSED));
    if (focused != index) return Report(L"the arrows stopped at row " + std::to_wstring(focused));
    if (rows[size_t(index)].checked != checked) Key(list, VK_SPACE);
    for (int tries = 0; tries < 50; ++tries) {
        const bool now = (SendMessageW(list, LVM_GETITEMSTATE, WPARAM(index), LVIS_STATEIMAGEMASK) &
                          LVIS_STATEIMAGEMASK) == INDEXTOSTATEIMAGEMASK(2);
        if (now == checked) return true;
        Sleep(100);
    }
    return Report(L"Space did not change the row \"" + label + L"\"");
}

}  // namespace driver
