#include "archive/work_pool.h"

#include <algorithm>

namespace corvane::archive {

unsigned workerCount() {
    return std::clamp(std::thread::hardware_concurrency(), 1u, 4u);
}

}  // namespace corvane::archive
