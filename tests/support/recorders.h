#pragma once

#include "app/help_pages.h"
#include "app/program.h"
#include "app/window_placement.h"

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvane::test {

// Starting sibling programs, recorded as "program arg arg..."; `fail` makes every start fail as
// a missing program would.
class RecordingLauncher final : public ProgramLauncher {
public:
    Status start(const std::string& program, const std::vector<std::string>& arguments) override {
        std::string line = program;
        for (const auto& argument : arguments)
            line += " " + argument;
        started.push_back(line);
        if (fail) return Error{errc::kFileNotFound, "File not found"};
        return {};
    }
    std::vector<std::string> started;
    bool fail = false;
};

// Pages and addresses opened, recorded; `works` false makes every opening fail.
class RecordingOpener final : public DesktopOpener {
public:
    bool openPage(const std::string& path) override {
        opened.push_back(path);
        return works;
    }
    bool openAddress(const std::string& address) override {
        opened.push_back(address);
        return works;
    }
    std::vector<std::string> opened;
    bool works = true;
};

// Settings kept in memory, as the per-user store would keep them.
class MemorySettings final : public SettingsStore {
public:
    std::optional<std::string> value(std::string_view key) const override {
        const auto found = values.find(std::string(key));
        if (found == values.end()) return std::nullopt;
        return found->second;
    }
    void setValue(std::string_view key, const std::string& value) override {
        values[std::string(key)] = value;
    }
    std::map<std::string, std::string> values;
};

}  // namespace corvane::test
