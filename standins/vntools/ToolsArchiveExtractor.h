// ToolsArchive: extraction of zip archives through the platform's files, so
// that the simulated machine sees every file written.
#pragma once

#include <cstdint>

#include "ToolsInterface.h"

class ToolsArchiveExtractor final : public ToolsArchive {
public:
    explicit ToolsArchiveExtractor(ToolsLog& log) : log_(log) {}
    ~ToolsArchiveExtractor() override = default;

    // Reads the central directory and checks every entry (path, size,
    // method, encryption, where its data lies) before anything is written,
    // then streams the entries in archive order, each inflated piece by piece
    // and written with large writes; the archive is never held whole. An
    // entry found damaged while writing ends the extraction with false: its
    // partly written file is deleted, the entries before it stay written.
    bool Extract(const VnString& archive, const VnString& folder, bool keepFolderStructure) override;

    // Zip bombs: an entry never inflates past the size it declares, no entry
    // may declare more than 1 GiB, and all entries together no more than
    // this; an archive over a limit is refused before anything is written.
    static constexpr uint64_t kMaxExtractedBytes = uint64_t(2) << 30;

private:
    ToolsLog& log_;
};
