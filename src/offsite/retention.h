#pragma once

#include "offsite/remote.h"

#include <string>
#include <vector>

namespace corvane::offsite {

// A remote object that belongs to a dated archive of a set.
struct DatedObject {
    int year = 0;
    int month = 0;
    int day = 0;
    std::string archive;  // "MM-DD-YYYY - Name.bac", also for its volumes
};

// Whether `objectName` is a name the dated-name rule of set `setName` produces: the archive
// "MM-DD-YYYY - <setName>.bac" or one of its split volumes "MM-DD-YYYY - <setName>.zNN".
bool readDatedName(const std::string& objectName, const std::string& setName, DatedObject& dated);

// The objects to delete so that at most `keep` dated archives of the set remain, newest first
// by their date, always counting `current` (the archive just sent) among those kept. Every
// volume of a pruned archive goes with it; objects the rule did not name are never listed.
// `keep` 0 keeps everything.
std::vector<std::string> objectsToPrune(const std::vector<RemoteObject>& objects,
                                        const std::string& setName, int keep,
                                        const std::string& current);

}  // namespace corvane::offsite
