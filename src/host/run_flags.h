#pragma once

namespace corvane {

// How this run of the program goes; once set, the flags last until the program ends.
struct RunFlags {
    bool commandLineRun = false;  // unattended: no message boxes, failures go to error.log
    bool timedRun = false;        // started by the Timed Backups Manager
};

}  // namespace corvane
