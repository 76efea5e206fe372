#include "UninstallPlan.h"

#include <map>
#include <string>

namespace {

std::u16string Folded(const VnString& text) {
    VnString lower = text;
    lower.MakeLower();
    return std::u16string(lower.View());
}

std::u16string KeyIdentity(VnRegRoot root, uint32_t view, const VnString& path) {
    return std::u16string(1, char16_t(uint32_t(root) & 0xF)) + char16_t(view >> 8) + Folded(path);
}

}  // namespace

UninstallPlan PlanUninstall(const std::vector<InstallRecordEntry>& entries) {
    UninstallPlan plan;
    std::map<std::u16string, size_t> files, folders, links, keys, values, components;
    for (const InstallRecordEntry& entry : entries) {
        switch (entry.kind) {
            case InstallRecordKind::Install:
                break;
            case InstallRecordKind::Earlier:
                plan.earlierFolders.push_back(entry.path);
                break;
            case InstallRecordKind::File:
                if (files.emplace(Folded(entry.path), plan.files.size()).second)
                    plan.files.push_back({entry.path, entry.replaced});
                break;
            case InstallRecordKind::Folder:
                if (folders.emplace(Folded(entry.path), plan.folders.size()).second) plan.folders.push_back(entry.path);
                break;
            case InstallRecordKind::Link:
                if (links.emplace(Folded(entry.path), plan.links.size()).second) plan.links.push_back(entry.path);
                break;
            case InstallRecordKind::Component:
                if (components.emplace(Folded(entry.path), plan.components.size()).second)
                    plan.components.push_back({entry.path, entry.detail});
                break;
            case InstallRecordKind::Key:
                if (keys.emplace(KeyIdentity(entry.root, entry.view, entry.path), plan.keys.size()).second)
                    plan.keys.push_back({entry.root, entry.view, entry.path});
                break;
            case InstallRecordKind::Value: {
                auto [found, added] = values.emplace(
                    KeyIdentity(entry.root, entry.view, entry.path) + u'\t' + Folded(entry.valueName),
                    plan.values.size());
                if (added)
                    plan.values.push_back({entry.root, entry.view, entry.path, entry.valueName, entry.before, entry.after});
                else
                    plan.values[found->second].after = entry.after;
                break;
            }
        }
    }
    return plan;
}
