// The demo program's running mode: a top-level window of class "PMFrame" and
// the command mailbox read as the media program reads it.
//
// The mailbox is the named shared memory "Tunaro <major> FC_IPC" of 16396
// bytes: "VNPS", the read index, the write index, a ring of 16384 bytes. Each
// entry: kind, message number 0x87D0, sender, key (four 32-bit words), the
// byte length of the text with its terminating zero, the UTF-16 text. Kind 1
// carries the path of a ".pmd" file that holds the command (UTF-16 with its
// byte order mark), which is read and deleted. The named lock
// "Post String Lock - <mailbox>" is held while the block is touched: it is
// held by whoever created the mutex of that name (the tools library's lock).
//
// On each message 0x87D0 every queued entry is taken and recorded below
// HKEY_CURRENT_USER "Software\V. Arnel\Demo Commands\<file name>":
// "Command (n)" (text), "Sender (n)" and "Kind (n)" (numbers), and
// "Command Count". An entry that cannot be whole (indexes outside the ring,
// a length past what was written) empties the ring and counts under
// "Damaged Entries". WM_CLOSE ends the program.
#pragma once

#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <stdio.h>
#include <wchar.h>

#include "DemoRecord.h"

#define DEMO_FRAME_SWITCH L"/StayRunning"
#define DEMO_COMMANDS_KEY L"Software\\V. Arnel\\Demo Commands\\"
#define DEMO_MAILBOX_BYTES 16396u
#define DEMO_RING_BYTES 16384u
#define DEMO_ENTRY_OVERHEAD 20u
#define DEMO_COMMAND_MESSAGE 0x87D0u
#define DEMO_WIDEN2(x) L##x
#define DEMO_WIDEN(x) DEMO_WIDEN2(x)
#define DEMO_TEXT2(x) #x
#define DEMO_TEXT(x) DEMO_TEXT2(x)
#define DEMO_MAILBOX_NAME L"Tunaro " DEMO_WIDEN(DEMO_TEXT(DEMO_MAJOR_VERSION)) L" FC_IPC"

static BYTE* g_demoBlock;
static HKEY g_demoCommands;
static DWORD g_demoCommandCount;

static HANDLE DemoTakeMailboxLock(void) {
    DWORD start = GetTickCount();
    for (;;) {
        HANDLE mutex = CreateMutexW(NULL, FALSE, L"Post String Lock - " DEMO_MAILBOX_NAME);
        if (mutex && GetLastError() != ERROR_ALREADY_EXISTS) return mutex;
        if (mutex) CloseHandle(mutex);
        if (GetTickCount() - start > 10000) return NULL;
        Sleep(1);
    }
}

static DWORD DemoIndex(int offset) {
    DWORD value;
    memcpy(&value, g_demoBlock + offset, 4);
    return value;
}

static void DemoSetIndex(int offset, DWORD value) { memcpy(g_demoBlock + offset, &value, 4); }

static void DemoRingRead(DWORD* at, void* to, DWORD count) {
    BYTE* bytes = (BYTE*)to;
    for (DWORD i = 0; i < count; ++i, *at = (*at + 1) % DEMO_RING_BYTES) bytes[i] = g_demoBlock[12 + *at];
}

static void DemoSetNumber(const WCHAR* name, DWORD value) {
    RegSetValueExW(g_demoCommands, name, 0, REG_DWORD, (const BYTE*)&value, sizeof value);
}

static void DemoCountDamaged(void) {
    DWORD count = 0, size = sizeof count;
    RegQueryValueExW(g_demoCommands, L"Damaged Entries", NULL, NULL, (BYTE*)&count, &size);
    DemoSetNumber(L"Damaged Entries", count + 1);
}

// The command a kind-1 entry names: the ".pmd" file's text, and the file goes.
static WCHAR* DemoReadCommandFile(const WCHAR* path) {
    size_t length = wcslen(path);
    if (length < 4 || _wcsicmp(path + length - 4, L".pmd") != 0) return NULL;
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE) return NULL;
    DWORD size = GetFileSize(file, NULL), read = 0;
    WCHAR* text = NULL;
    if (size != INVALID_FILE_SIZE && size < 16 * 1024 * 1024) {
        text = (WCHAR*)HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, size + sizeof(WCHAR));
        if (text && !ReadFile(file, text, size, &read, NULL)) read = 0;
    }
    CloseHandle(file);
    DeleteFileW(path);
    if (text && read >= 2 && text[0] == 0xFEFF) memmove(text, text + 1, read);  // the byte order mark
    return text;
}

static void DemoRecordCommand(DWORD kind, DWORD sender, const WCHAR* text) {
    WCHAR name[64];
    g_demoCommandCount += 1;
    swprintf(name, 64, L"Command (%lu)", (unsigned long)g_demoCommandCount);
    DemoSetText(g_demoCommands, name, text);
    swprintf(name, 64, L"Sender (%lu)", (unsigned long)g_demoCommandCount);
    DemoSetNumber(name, sender);
    swprintf(name, 64, L"Kind (%lu)", (unsigned long)g_demoCommandCount);
    DemoSetNumber(name, kind);
    DemoSetNumber(L"Command Count", g_demoCommandCount);
}

// Takes every queued entry, then records them once the lock is let go.
static void DemoTakeCommands(void) {
    struct Taken {
        DWORD kind, sender;
        WCHAR* text;
    } taken[256];
    int count = 0, damaged = 0;
    HANDLE lock = DemoTakeMailboxLock();
    if (!lock) return;
    while (count < 256) {
        DWORD read = DemoIndex(4), write = DemoIndex(8), header[5];
        if (read >= DEMO_RING_BYTES || write >= DEMO_RING_BYTES) {
            DemoSetIndex(4, 0), DemoSetIndex(8, 0), damaged = 1;
            break;
        }
        if (read == write) break;
        DWORD used = (write + DEMO_RING_BYTES - read) % DEMO_RING_BYTES;
        if (used < DEMO_ENTRY_OVERHEAD) {
            DemoSetIndex(4, write), damaged = 1;
            break;
        }
        DemoRingRead(&read, header, sizeof header);
        if (header[1] != DEMO_COMMAND_MESSAGE || header[4] < 2 || header[4] % 2 ||
            header[4] > used - DEMO_ENTRY_OVERHEAD) {
            DemoSetIndex(4, write), damaged = 1;
            break;
        }
        WCHAR* text = (WCHAR*)HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, header[4] + sizeof(WCHAR));
        if (!text) break;
        DemoRingRead(&read, text, header[4]);
        DemoSetIndex(4, read);
        taken[count].kind = header[0], taken[count].sender = header[2], taken[count].text = text;
        ++count;
    }
    CloseHandle(lock);
    for (int i = 0; i < count; ++i) {
        WCHAR* fromFile = taken[i].kind == 1 ? DemoReadCommandFile(taken[i].text) : NULL;
        DemoRecordCommand(taken[i].kind, taken[i].sender, fromFile ? fromFile : taken[i].text);
        if (fromFile) HeapFree(GetProcessHeap(), 0, fromFile);
        HeapFree(GetProcessHeap(), 0, taken[i].text);
    }
    if (damaged) DemoCountDamaged();
    if (count == 256) PostMessageW(FindWindowW(L"PMFrame", NULL), DEMO_COMMAND_MESSAGE, 0, 0);  // more queued
}

static LRESULT CALLBACK DemoFrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == DEMO_COMMAND_MESSAGE) {
        DemoTakeCommands();
        return 0;
    }
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// Opens the mailbox (writing "VNPS" into a new one), shows the frame and
// reads commands until the window is closed.
static int DemoRunFrame(HINSTANCE instance) {
    WCHAR keyName[MAX_PATH * 2], path[MAX_PATH * 2];
    const WCHAR* fileName;
    if (!DemoModulePath(NULL, path, MAX_PATH * 2, &fileName)) return 1;
    swprintf(keyName, MAX_PATH * 2, L"%ls%ls", DEMO_COMMANDS_KEY, fileName);
    RegDeleteKeyW(HKEY_CURRENT_USER, keyName);  // a fresh record per run
    if (!DemoOpenKey(keyName, &g_demoCommands)) return 1;
    HANDLE mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, NULL, PAGE_READWRITE, 0, DEMO_MAILBOX_BYTES,
                                        DEMO_MAILBOX_NAME);
    if (!mapping) return 1;
    g_demoBlock = (BYTE*)MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, DEMO_MAILBOX_BYTES);
    if (!g_demoBlock) return 1;
    HANDLE lock = DemoTakeMailboxLock();
    if (memcmp(g_demoBlock, "VNPS", 4) != 0) {
        memcpy(g_demoBlock, "VNPS", 4);
        DemoSetIndex(4, 0), DemoSetIndex(8, 0);
    }
    if (lock) CloseHandle(lock);

    WNDCLASSW frameClass = {0};
    frameClass.lpfnWndProc = DemoFrameProc;
    frameClass.hInstance = instance;
    frameClass.lpszClassName = L"PMFrame";
    frameClass.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
    if (!RegisterClassW(&frameClass)) return 1;
    HWND window = CreateWindowExW(0, L"PMFrame", L"Tunaro", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 320,
                                  200, NULL, NULL, instance, NULL);
    if (!window) return 1;
    ShowWindow(window, SW_SHOWNOACTIVATE);
    DemoSetNumber(L"Running", 1);
    DemoTakeCommands();  // what was queued before the window was there
    MSG message;
    while (GetMessageW(&message, NULL, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    DemoSetNumber(L"Running", 0);
    UnmapViewOfFile(g_demoBlock);
    CloseHandle(mapping);
    RegCloseKey(g_demoCommands);
    return 0;
}
