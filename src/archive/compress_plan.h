#pragma once

#include "archive/file_selection.h"
#include "archive/operations.h"
#include "archive/zip_in.h"

#include <memory>
#include <optional>
#include <vector>

namespace corvane::archive {

// One entry of the new archive, in order: a source file to add, or an entry of the existing
// archive to copy unchanged.
struct PlanStep {
    enum class Kind { Add, Copy };
    Kind kind = Kind::Add;
    std::size_t index = 0;  // into CompressPlan::sources or the old directory's items
};

struct CompressPlan {
    std::vector<SourceEntry> sources;
    std::unique_ptr<VolumeReader> oldVolumes;
    std::optional<ArchiveDirectory> old;
    std::vector<PlanStep> steps;
    std::size_t additions = 0;
};

// Selects the files, raises the preprocessing events, and decides file by file what the new
// archive holds. Returns kDone when there is an archive to write, else the run's result.
int buildPlan(const ArchiveSettings& settings, OperationEvents& events, CompressPlan& plan);

// The longest stored name accepted (a header must fit in the smallest volume).
inline constexpr std::size_t kMaxStoredName = 32 * 1024;

}  // namespace corvane::archive
