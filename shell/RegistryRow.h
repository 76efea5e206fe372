// The row language of the shell registration templates (docs/registry-rows.md).
//
// A row is one text of exactly five fields separated by "|":
//   key | value name | data | type | action
// "Default" (exact case) as the value name stands for the key's unnamed value;
// type "STRING" writes REG_SZ, any other type REG_DWORD; action "DELETE",
// "CREATE" or anything else (modify). A row whose whole text is exactly
// "HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER" or "HKEY_LOCAL_MACHINE" is a root
// line that sets the root of the rows after it. Pure text: no registry here.
#pragma once

#include <cstdint>
#include <string_view>

#include "VnString.h"

enum class RegistryRowAction { Modify, Create, Delete };

// The root a root line names, with the values Windows gives the roots.
enum class RegistryRowRoot : uint32_t {
    ClassesRoot = 0x80000000,
    CurrentUser = 0x80000001,
    LocalMachine = 0x80000002,
};

struct RegistryRow {
    VnString key;
    VnString valueName;  // empty: the unnamed default value
    VnString data;
    bool isString = true;  // REG_SZ; false: REG_DWORD
    RegistryRowAction action = RegistryRowAction::Modify;
};

// True when the whole row is one of the three root names (nothing around it).
bool ParseRegistryRootLine(std::u16string_view row, RegistryRowRoot& root);

// Splits an expanded row on "|". Empty fields inside are kept; a row ending
// in "|" loses that one trailing empty field. False unless exactly five
// fields remain.
bool SplitRegistryRow(std::u16string_view row, RegistryRow& out);

// The data of a DWORD row as Windows' wide-text-to-integer reading takes it:
// leading blanks, an optional sign, digits up to the first non-digit; empty
// or no digits give 0; values beyond 32 bits stop at the nearest limit.
int32_t ParseRegistryRowNumber(std::u16string_view data);
