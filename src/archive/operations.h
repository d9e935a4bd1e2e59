#pragma once

#include "archive/archive_settings.h"
#include "archive/operation_events.h"
#include "archive/output_file.h"

namespace corvane::archive {

// The three operations; each returns a code of result_codes.h. Compress writes its volumes
// through `output`.
int runCompress(const ArchiveSettings& settings, OperationEvents& events, OutputFactory& output);
int runTest(const ArchiveSettings& settings, OperationEvents& events);
int runPreview(const ArchiveSettings& settings, OperationEvents& events);

}  // namespace corvane::archive
