#include "VnWin32Registry.h"

#include <algorithm>
#include <vector>

#include "VnWin32Text.h"

using vnw32::W;

namespace {

constexpr REGSAM kViewBits = KEY_WOW64_64KEY | KEY_WOW64_32KEY;
constexpr int kMaxTreeDepth = 512;  // registry paths are limited far below this

HKEY AsHkey(VnRegKey key) { return reinterpret_cast<HKEY>(key); }
VnRegKey AsVnKey(HKEY key) { return reinterpret_cast<VnRegKey>(key); }

HKEY RootKey(VnRegRoot root) {
    switch (root) {
        case VnRegRoot::ClassesRoot: return HKEY_CLASSES_ROOT;
        case VnRegRoot::CurrentUser: return HKEY_CURRENT_USER;
        case VnRegRoot::LocalMachine: return HKEY_LOCAL_MACHINE;
        case VnRegRoot::Users: return HKEY_USERS;
    }
    return nullptr;
}

uint32_t Open(HKEY parent, const VnString& subKey, uint32_t access, VnRegKey& key) {
    key = 0;
    if (!parent) return ERROR_INVALID_HANDLE;
    HKEY opened = nullptr;
    LSTATUS status = ::RegOpenKeyExW(parent, W(subKey), 0, access, &opened);
    if (status == ERROR_SUCCESS) key = AsVnKey(opened);
    return uint32_t(status);
}

uint32_t Create(HKEY parent, const VnString& subKey, uint32_t access, VnRegKey& key, bool* created) {
    key = 0;
    if (created) *created = false;
    if (!parent) return ERROR_INVALID_HANDLE;
    HKEY opened = nullptr;
    DWORD disposition = 0;
    LSTATUS status = ::RegCreateKeyExW(parent, W(subKey), 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr,
                                       &opened, &disposition);
    if (status != ERROR_SUCCESS) return uint32_t(status);
    key = AsVnKey(opened);
    if (created) *created = disposition == REG_CREATED_NEW_KEY;
    return ERROR_SUCCESS;
}

uint64_t LittleEndian(const BYTE* data, size_t size, size_t width) {
    uint64_t number = 0;
    for (size_t i = 0; i < width && i < size; ++i) number |= uint64_t(data[i]) << (8 * i);
    return number;
}

// Turns raw value data into the typed form: strings without their terminator
// (a multi-string keeps the zeros between its items), numbers, or the bytes.
VnRegValue Decode(DWORD type, const BYTE* data, size_t size) {
    VnRegValue value;
    value.type = type;
    const auto* chars = reinterpret_cast<const wchar_t*>(data);
    size_t count = size / sizeof(wchar_t);
    switch (type) {
        case REG_SZ:
        case REG_EXPAND_SZ: {
            size_t length = 0;
            while (length < count && chars[length]) ++length;
            value.text = vnw32::FromW(chars, length);
            break;
        }
        case REG_MULTI_SZ:
            // Only the list's two closing zeros go: an empty last item (the
            // "delete" target of a pending rename) is kept.
            for (int closing = 0; closing < 2 && count > 0 && chars[count - 1] == 0; ++closing) --count;
            value.text = vnw32::FromW(chars, count);
            break;
        case REG_DWORD: value.number = LittleEndian(data, size, 4); break;
        case REG_QWORD: value.number = LittleEndian(data, size, 8); break;
        default: value.bytes.assign(data, data + size); break;
    }
    return value;
}

// The bytes RegSetValueExW is given: strings with their terminating zero
// ((length + 1) * 2 bytes), a multi-string with one more zero at the end.
std::vector<BYTE> Encode(const VnRegValue& value) {
    std::vector<BYTE> data;
    auto appendChars = [&data](const char16_t* chars, size_t count) {
        const auto* bytes = reinterpret_cast<const BYTE*>(chars);
        data.insert(data.end(), bytes, bytes + count * sizeof(char16_t));
    };
    auto appendNumber = [&data](uint64_t number, size_t width) {
        for (size_t i = 0; i < width; ++i) data.push_back(BYTE(number >> (8 * i)));
    };
    switch (value.type) {
        case REG_SZ:
        case REG_EXPAND_SZ: appendChars(value.text.c_str(), size_t(value.text.GetLength()) + 1); break;
        case REG_MULTI_SZ:
            appendChars(value.text.c_str(), size_t(value.text.GetLength()) + 1);
            appendNumber(0, sizeof(char16_t));
            break;
        case REG_DWORD: appendNumber(value.number, 4); break;
        case REG_QWORD: appendNumber(value.number, 8); break;
        default: data.assign(value.bytes.begin(), value.bytes.end()); break;
    }
    return data;
}

// RegDeleteKeyExW exists from Vista (and 64-bit XP) on; older systems have no
// registry views, so RegDeleteKeyW does the same there.
uint32_t DeleteKeyIn(HKEY parent, const VnString& subKey, REGSAM view) {
    using DeleteKeyExFn = LSTATUS(WINAPI*)(HKEY, LPCWSTR, REGSAM, DWORD);
    static const auto deleteKeyEx = vnw32::SystemFunction<DeleteKeyExFn>(L"advapi32.dll", "RegDeleteKeyExW");
    if (deleteKeyEx) return uint32_t(deleteKeyEx(parent, W(subKey), view, 0));
    return uint32_t(::RegDeleteKeyW(parent, W(subKey)));
}

// Deletes subKey with everything below it, children first, keeping the view
// on every step (RegDeleteTreeW would open the children without it).
uint32_t DeleteTreeIn(HKEY parent, const VnString& subKey, REGSAM view, int depth) {
    if (depth > kMaxTreeDepth) return ERROR_CANTOPEN;
    HKEY key = nullptr;
    LSTATUS status = ::RegOpenKeyExW(parent, W(subKey), 0, KEY_ENUMERATE_SUB_KEYS | KEY_QUERY_VALUE | view, &key);
    if (status != ERROR_SUCCESS) return uint32_t(status);
    VnStringArray children;
    wchar_t name[MAX_PATH + 1];
    for (DWORD index = 0;; ++index) {
        DWORD length = MAX_PATH + 1;
        if (::RegEnumKeyExW(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        children.Add(vnw32::FromW(name, length));
    }
    uint32_t result = ERROR_SUCCESS;
    for (const VnString& child : children) {
        uint32_t childResult = DeleteTreeIn(key, child, view, depth + 1);
        if (result == ERROR_SUCCESS) result = childResult;
    }
    ::RegCloseKey(key);
    return result != ERROR_SUCCESS ? result : DeleteKeyIn(parent, subKey, view);
}

}  // namespace

uint32_t VnWin32Registry::OpenKey(VnRegRoot root, const VnString& subKey, uint32_t access, VnRegKey& key) {
    return Open(RootKey(root), subKey, access, key);
}

uint32_t VnWin32Registry::OpenSubKey(VnRegKey parent, const VnString& subKey, uint32_t access, VnRegKey& key) {
    return Open(AsHkey(parent), subKey, access, key);
}

uint32_t VnWin32Registry::CreateKey(VnRegRoot root, const VnString& subKey, uint32_t access, VnRegKey& key,
                                    bool* created) {
    return Create(RootKey(root), subKey, access, key, created);
}

uint32_t VnWin32Registry::CreateSubKey(VnRegKey parent, const VnString& subKey, uint32_t access, VnRegKey& key,
                                       bool* created) {
    return Create(AsHkey(parent), subKey, access, key, created);
}

void VnWin32Registry::CloseKey(VnRegKey key) {
    if (key) ::RegCloseKey(AsHkey(key));
}

uint32_t VnWin32Registry::QueryValue(VnRegKey key, const VnString& name, VnRegValue& value) {
    if (!key) return ERROR_INVALID_HANDLE;
    std::vector<BYTE> data(256);
    for (;;) {
        DWORD type = REG_NONE;
        // Two spare zero bytes: a string stored without its terminator still ends.
        DWORD size = DWORD(data.size() - 2);
        LSTATUS status = ::RegQueryValueExW(AsHkey(key), W(name), nullptr, &type, data.data(), &size);
        if (status == ERROR_MORE_DATA) {
            data.assign(size_t(size) + 2, 0);
            continue;
        }
        if (status != ERROR_SUCCESS) return uint32_t(status);
        value = Decode(type, data.data(), size);
        return ERROR_SUCCESS;
    }
}

uint32_t VnWin32Registry::SetValue(VnRegKey key, const VnString& name, const VnRegValue& value) {
    if (!key) return ERROR_INVALID_HANDLE;
    std::vector<BYTE> data = Encode(value);
    return uint32_t(::RegSetValueExW(AsHkey(key), W(name), 0, value.type, data.data(), DWORD(data.size())));
}

uint32_t VnWin32Registry::QueryRawValue(VnRegKey key, const VnString& name, uint32_t& type,
                                        std::basic_string<uint8_t>& data) {
    if (!key) return ERROR_INVALID_HANDLE;
    for (DWORD size = 256;;) {
        data.assign(size, 0);
        DWORD valueType = REG_NONE;
        LSTATUS status = ::RegQueryValueExW(AsHkey(key), W(name), nullptr, &valueType, data.data(), &size);
        if (status == ERROR_MORE_DATA) continue;
        if (status != ERROR_SUCCESS) return uint32_t(status);
        data.resize(size);
        type = valueType;
        return ERROR_SUCCESS;
    }
}

uint32_t VnWin32Registry::SetRawValue(VnRegKey key, const VnString& name, uint32_t type,
                                      const std::basic_string<uint8_t>& data) {
    if (!key) return ERROR_INVALID_HANDLE;
    return uint32_t(::RegSetValueExW(AsHkey(key), W(name), 0, type, data.data(), DWORD(data.size())));
}

uint32_t VnWin32Registry::DeleteValue(VnRegKey key, const VnString& name) {
    if (!key) return ERROR_INVALID_HANDLE;
    return uint32_t(::RegDeleteValueW(AsHkey(key), W(name)));
}

uint32_t VnWin32Registry::DeleteKey(VnRegKey parent, const VnString& subKey, uint32_t viewAccess) {
    if (!parent) return ERROR_INVALID_HANDLE;
    return DeleteKeyIn(AsHkey(parent), subKey, viewAccess & kViewBits);
}

uint32_t VnWin32Registry::DeleteTree(VnRegKey parent, const VnString& subKey, uint32_t viewAccess) {
    if (!parent) return ERROR_INVALID_HANDLE;
    return DeleteTreeIn(AsHkey(parent), subKey, viewAccess & kViewBits, 0);
}

uint32_t VnWin32Registry::EnumKey(VnRegKey key, uint32_t index, VnString& name) {
    if (!key) return ERROR_INVALID_HANDLE;
    wchar_t buffer[MAX_PATH + 1];
    DWORD length = MAX_PATH + 1;
    LSTATUS status = ::RegEnumKeyExW(AsHkey(key), index, buffer, &length, nullptr, nullptr, nullptr, nullptr);
    if (status == ERROR_SUCCESS) name = vnw32::FromW(buffer, length);
    return uint32_t(status);
}

uint32_t VnWin32Registry::EnumValue(VnRegKey key, uint32_t index, VnString& name, VnRegValue* value) {
    if (!key) return ERROR_INVALID_HANDLE;
    DWORD nameCapacity = 0, dataCapacity = 0;
    LSTATUS status = ::RegQueryInfoKeyW(AsHkey(key), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                        &nameCapacity, &dataCapacity, nullptr, nullptr);
    if (status != ERROR_SUCCESS) return uint32_t(status);
    // The key may change between the two calls: grow and retry on ERROR_MORE_DATA.
    for (int attempt = 0; attempt < 8; ++attempt) {
        std::vector<wchar_t> nameBuffer(size_t(nameCapacity) + 1);
        std::vector<BYTE> data(size_t(dataCapacity) + 2, 0);
        DWORD nameLength = DWORD(nameBuffer.size());
        DWORD type = REG_NONE;
        DWORD size = DWORD(data.size() - 2);
        status = ::RegEnumValueW(AsHkey(key), index, nameBuffer.data(), &nameLength, nullptr, &type,
                                 value ? data.data() : nullptr, value ? &size : nullptr);
        if (status == ERROR_MORE_DATA) {
            nameCapacity = nameCapacity * 2 + 256;
            dataCapacity = std::max<DWORD>(dataCapacity * 2, size);
            continue;
        }
        if (status != ERROR_SUCCESS) return uint32_t(status);
        name = vnw32::FromW(nameBuffer.data(), nameLength);
        if (value) *value = Decode(type, data.data(), size);
        return ERROR_SUCCESS;
    }
    return uint32_t(status);
}
