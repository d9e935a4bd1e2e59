#include "offsite/retention.h"

#include <algorithm>
#include <map>
#include <tuple>

namespace corvane::offsite {

namespace {

bool digitsAt(const std::string& text, std::size_t at, std::size_t count, int& value) {
    if (at + count > text.size()) return false;
    value = 0;
    for (std::size_t i = at; i < at + count; ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        value = value * 10 + (text[i] - '0');
    }
    return true;
}

}  // namespace

bool readDatedName(const std::string& objectName, const std::string& setName, DatedObject& dated) {
    // "MM-DD-YYYY - " is 13 characters.
    constexpr std::size_t kDateLength = 13;
    const std::string middle = " - " + setName;
    if (objectName.size() < kDateLength + setName.size() + 4 || objectName[2] != '-' ||
        objectName[5] != '-' || objectName.compare(10, middle.size(), middle) != 0) {
        return false;
    }
    if (!digitsAt(objectName, 0, 2, dated.month) || !digitsAt(objectName, 3, 2, dated.day) ||
        !digitsAt(objectName, 6, 4, dated.year) || dated.month < 1 || dated.month > 12 ||
        dated.day < 1 || dated.day > 31) {
        return false;
    }
    const std::string stem = objectName.substr(0, kDateLength + setName.size());
    const std::string suffix = objectName.substr(stem.size());
    int volume = 0;
    const bool isVolume = suffix.size() >= 4 && suffix.compare(0, 2, ".z") == 0 &&
                          digitsAt(suffix, 2, suffix.size() - 2, volume) && volume > 0;
    if (suffix != ".bac" && !isVolume) return false;
    dated.archive = stem + ".bac";
    return true;
}

std::vector<std::string> objectsToPrune(const std::vector<RemoteObject>& objects,
                                        const std::string& setName, int keep,
                                        const std::string& current) {
    if (keep <= 0) return {};
    struct Archive {
        std::tuple<int, int, int> date;
        std::vector<std::string> objects;
    };
    std::map<std::string, Archive> archives;
    for (const auto& object : objects) {
        DatedObject dated;
        if (!readDatedName(object.name, setName, dated)) continue;
        auto& archive = archives[dated.archive];
        archive.date = {dated.year, dated.month, dated.day};
        archive.objects.push_back(object.name);
    }
    std::vector<const std::pair<const std::string, Archive>*> order;
    for (const auto& entry : archives)
        order.push_back(&entry);
    // The archive just sent first, then the newest.
    std::stable_sort(order.begin(), order.end(), [&](const auto* a, const auto* b) {
        const bool aCurrent = a->first == current;
        const bool bCurrent = b->first == current;
        if (aCurrent != bCurrent) return aCurrent;
        return a->second.date > b->second.date;
    });
    std::vector<std::string> doomed;
    for (std::size_t i = static_cast<std::size_t>(keep); i < order.size(); ++i) {
        const auto& names = order[i]->second.objects;
        doomed.insert(doomed.end(), names.begin(), names.end());
    }
    return doomed;
}

}  // namespace corvane::offsite
