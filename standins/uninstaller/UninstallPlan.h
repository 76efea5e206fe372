// What the record asks to undo, merged over every install it holds: each
// path, key and value once, in the order first recorded; for a value the data
// it had before the first install touched it and the data the last one left.
#pragma once

#include <vector>

#include "InstallRecord.h"

struct PlannedFile {
    VnString path;
    bool replaced = false;  // a file was there before the first install wrote it
};

struct PlannedKey {
    VnRegRoot root;
    uint32_t view;
    VnString path;
};

struct PlannedValue {
    VnRegRoot root;
    uint32_t view;
    VnString key, name;
    RecordedValueData before, after;
};

struct PlannedComponent {
    VnString path, how;
};

struct UninstallPlan {
    std::vector<PlannedFile> files;
    std::vector<VnString> folders, links;
    std::vector<VnString> earlierFolders;  // folders of earlier installs a later one took over
    std::vector<PlannedKey> keys;
    std::vector<PlannedValue> values;
    std::vector<PlannedComponent> components;
};

UninstallPlan PlanUninstall(const std::vector<InstallRecordEntry>& entries);
