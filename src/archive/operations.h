#pragma once

#include "archive/archive_reading.h"
#include "archive/archive_settings.h"
#include "archive/operation_events.h"
#include "archive/output_file.h"

namespace corvane::archive {

// The operations; each returns a code of result_codes.h. Compress writes its volumes
// through `output`.
int runCompress(const ArchiveSettings& settings, OperationEvents& events, OutputFactory& output);
int runTest(const ArchiveSettings& settings, OperationEvents& events);
// Test and extract share this: test is an extraction to nowhere.
int runExtract(const ArchiveSettings& settings, const ExtractRequest& request,
               OperationEvents& events);
int runList(const ArchiveSettings& settings, OperationEvents& events, ArchiveListing& listing);
int runPreview(const ArchiveSettings& settings, OperationEvents& events);

}  // namespace corvane::archive
