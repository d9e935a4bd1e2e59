#pragma once

#include <string>

namespace corvane::test {

// A fresh folder under the system's temporary folder, removed with everything in it when the
// object goes away. path() ends in "/".
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return m_path; }
    std::string operator/(const std::string& relative) const { return m_path + relative; }

private:
    std::string m_path;
};

// Small file helpers for tests: they fail the running test on error.
void writeFile(const std::string& path, const std::string& content);
std::string readFile(const std::string& path);
bool fileExists(const std::string& path);
void makeFolder(const std::string& path);  // with parents

// Makes a folder unwritable while it lives: no file can be created, renamed or removed in it,
// even by root (the immutable attribute is used where permissions do not bind). effective()
// tells whether the file system let it happen.
class UnwritableFolder {
public:
    explicit UnwritableFolder(std::string path);
    ~UnwritableFolder();
    UnwritableFolder(const UnwritableFolder&) = delete;
    UnwritableFolder& operator=(const UnwritableFolder&) = delete;
    bool effective() const { return m_effective; }

private:
    std::string m_path;
    bool m_immutable = false;
    bool m_effective = false;
};

// The folder of the checked-in fixture files (tests/data/), with a trailing "/".
std::string testDataFolder();

}  // namespace corvane::test
