#include "host/host.h"

#include <cstdio>

namespace corvane {

void Host::reportProblem(std::string_view text) {
    std::fprintf(stderr, "corvane: %.*s\n", static_cast<int>(text.size()), text.data());
}

std::vector<std::string> timedErrorScreenLines() {
    return {
        "Error Encountered",
        "An error has been encountered attempting to proceed with the current backup or test "
        "operation.  The operation has stopped.",
        "You can find out details about the error by viewing the Error Log in Corvane.  You can "
        "also find more details in the main Corvane Log file if the option to write the Log file "
        "is set on.",
        "This error screen is timed and will automatically disappear after 30 seconds time.  No "
        "response to this screen is required.",
    };
}

}  // namespace corvane
