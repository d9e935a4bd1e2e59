#include "registry/rescue_script.h"

namespace corvane {

std::vector<std::string> rescueScriptLines(const RegistryPaths& paths) {
    const std::string& w = paths.windowsFolder;
    const std::string& d = paths.bootDrive;
    const std::string& b = paths.backupFolder;
    const std::string clear = "attrib -r -s -h ";
    const std::string normal = "attrib -r +a -s -h ";
    const std::string locked = "attrib +r +a +s +h ";
    return {
        "ECHO OFF",
        d,
        "CD " + b,
        "ECHO Corvane is restoring system files from your last Registry Backup",
        clear + b + "/Command.com",
        clear + d + "/Command.com",
        "copy " + b + "/Command.com " + d + "/Command.com",
        normal + d + "/Command.com",
        clear + b + "/System.dat",
        clear + b + "/System.ini",
        clear + b + "/User.dat",
        clear + b + "/Win.ini",
        clear + b + "/Autoexec.bat",
        clear + b + "/Msdos.sys",
        clear + w + "/System.dat",
        clear + w + "/System.ini",
        clear + w + "/User.dat",
        clear + w + "/Win.ini",
        clear + d + "/Autoexec.bat",
        clear + d + "/Msdos.sys",
        "copy " + b + "/Attrib.exe " + w + "/Command",
        "copy " + b + "/System.dat " + w,
        "copy " + b + "/System.ini " + w,
        "copy " + b + "/User.dat " + w,
        "copy " + b + "/Win.ini " + w,
        "copy " + b + "/Autoexec.bat " + d + "/",
        "copy " + b + "/Msdos.sys " + d + "/",
        locked + w + "/System.dat",
        normal + w + "/System.ini",
        locked + w + "/User.dat",
        normal + w + "/win.ini",
        normal + d + "/Autoexec.bat",
        locked + d + "/Msdos.sys",
        "ECHO Corvane has restored your Registry Backup",
        "ECHO If Windows does not start then do the following:",
        "ECHO [1]  Remove the Rescue Disk from the A: drive.",
        "ECHO [2]  Press CTRL-ALT-DEL to restart your computer.",
        "ECHO ON",
    };
}

std::string rescueScriptText(const RegistryPaths& paths) {
    std::string text;
    for (const std::string& line : rescueScriptLines(paths)) text += line + "\r\n";
    return text;
}

std::string rescueAutoexecLine(const RegistryPaths& paths) {
    return "Call " + paths.backupFolder + "/Rescue.bat";
}

}  // namespace corvane
