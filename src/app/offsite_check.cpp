#include "app/offsite_check.h"

#include "common/text.h"
#include "offsite/offsite_copy.h"
#include "platform/program_folder.h"

#include <atomic>

namespace corvane {

int checkOffsite(const std::string& programFolder, const std::string& setPath, std::FILE* out,
                 std::FILE* err) {
    std::string folder;
    std::string setName = fileNameOf(trim(absolutePath(setPath)), folder);
    if (endsWith(toUpper(setName), ".CVT")) setName.resize(setName.size() - 4);
    const auto settings = offsite::readOffsiteSettings(programFolder, setName);
    if (!settings) {
        std::fprintf(err, "corvane: %s\n", settings.error().description.c_str());
        return 5;
    }
    if (!*settings) {
        std::fprintf(err, "corvane: %s has no section [%s]: the set is not copied off-site\n",
                     (programFolder + offsite::kOffsiteFileName).c_str(), setName.c_str());
        return 3;
    }
    std::fprintf(out, "Checking %s ...\n", (*settings)->url.c_str());
    const std::atomic<bool> cancel{false};
    if (const Status tested = offsite::testConnection(**settings, cancel); !tested) {
        std::fprintf(err, "corvane: %s: %s\n",
                     offsite::failureName(offsite::failureOf(tested.error())).c_str(),
                     tested.error().description.c_str());
        return 5;
    }
    std::fprintf(out, "The off-site copy of %s works: a probe was sent, listed and deleted.\n",
                 setName.c_str());
    return 0;
}

}  // namespace corvane
