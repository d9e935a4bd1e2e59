#include "archive_support.h"

#include "archive/inflate_stream.h"
#include "archive/result_codes.h"
#include "archive/winzip_aes.h"
#include "archive/zip_in.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <array>
#include <random>

namespace corvane::archive::test {

bool RecordingObserver::onPasswordNeeded(std::string& password) {
    events.push_back({"password", {}, 0});
    if (passwords.empty()) return false;
    password = passwords.front();
    passwords.erase(passwords.begin());
    return true;
}

std::vector<std::string> RecordingObserver::names(const std::string& kind) const {
    std::vector<std::string> found;
    for (const auto& event : events) {
        if (event.kind == kind) found.push_back(event.name);
    }
    return found;
}

std::vector<std::int64_t> RecordingObserver::values(const std::string& kind) const {
    std::vector<std::int64_t> found;
    for (const auto& event : events) {
        if (event.kind == kind) found.push_back(event.value);
    }
    return found;
}

std::string textData(std::size_t size, unsigned seed) {
    static const std::array<const char*, 12> words = {
        "static ", "int ", "return ", "buffer",         "->",   "length",
        "(void)",  ";\n",  "struct ", "unsigned long ", "if (", "} else {\n"};
    std::mt19937 generator(seed);
    std::string text;
    text.reserve(size + 16);
    while (text.size() < size) {
        text += words[generator() % words.size()];
        if (generator() % 7 == 0) text += std::to_string(generator() % 1000);
    }
    text.resize(size);
    return text;
}

std::string randomData(std::size_t size, unsigned seed) {
    std::mt19937_64 generator(seed);
    std::string bytes(size, '\0');
    for (auto& byte : bytes)
        byte = static_cast<char>(generator());
    return bytes;
}

int runCommand(const std::string& command, std::string* output) {
    const auto result = corvane::test::runProcess({"sh", "-c", command});
    if (output != nullptr) *output = result.out + result.err;
    return result.exitCode;
}

void setTimeNs(const std::string& path, std::int64_t nanoseconds) {
    const timespec time{static_cast<time_t>(nanoseconds / 1'000'000'000),
                        nanoseconds % 1'000'000'000};
    const timespec times[2] = {time, time};
    if (::utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW) != 0) {
        ADD_FAILURE() << "cannot set the time of " << path;
    }
}

std::map<std::string, Extracted> extractAll(const std::string& archivePath,
                                            const std::string& password) {
    std::map<std::string, Extracted> entries;
    VolumeReader volumes(archivePath, nullptr);
    auto directory = readDirectory(volumes);
    if (!directory) {
        ADD_FAILURE() << "cannot read " << archivePath << ": " << directory.error().description;
        return entries;
    }
    const auto read = [&](VolumePosition at, std::span<std::uint8_t> out) {
        return volumes.read(at, out);
    };
    for (const auto& item : directory->items) {
        auto entry = readEntryHeader(item, read, directory->prefixBytes);
        if (!entry) {
            ADD_FAILURE() << item.name << ": " << entry.error().description;
            continue;
        }
        std::vector<std::uint8_t> data(static_cast<std::size_t>(item.compressedSize));
        if (!read(entry->dataStart, data)) {
            ADD_FAILURE() << item.name << ": data cannot be read";
            continue;
        }
        if (item.aes) {
            const std::size_t salt = item.aes->saltLength();
            const AesKeys keys =
                deriveAesKeys(password, std::span(data).first(salt), item.aes->keyLength());
            AesCipher cipher(keys);
            std::vector<std::uint8_t> body(
                data.begin() + static_cast<std::ptrdiff_t>(salt + 2),
                data.end() - static_cast<std::ptrdiff_t>(zip::kAesMacSize));
            cipher.decrypt(body);
            data = std::move(body);
        }
        std::string content;
        if (item.dataMethod() == zip::kMethodDeflate) {
            Inflater inflater;
            std::size_t leftover = 0;
            const auto outcome = inflater.feed(
                data,
                [&](std::span<const std::uint8_t> out) { content.append(out.begin(), out.end()); },
                leftover);
            if (outcome != Inflater::Outcome::Finished)
                ADD_FAILURE() << item.name << ": bad deflate data";
        } else {
            content.assign(data.begin(), data.end());
        }
        entries[item.name] = Extracted{item, std::move(content)};
    }
    return entries;
}

namespace {

class FailingFile final : public OutputFile {
public:
    FailingFile(std::unique_ptr<OutputFile> inner, std::uint64_t& left)
        : m_inner(std::move(inner)), m_left(left) {}
    Status write(std::span<const std::uint8_t> bytes) override {
        if (bytes.size() > m_left) {
            m_left = 0;
            return Error{kWriteFailed, "no space left on the test device"};
        }
        m_left -= bytes.size();
        return m_inner->write(bytes);
    }
    Status sync() override { return m_inner->sync(); }
    Status close() override { return m_inner->close(); }

private:
    std::unique_ptr<OutputFile> m_inner;
    std::uint64_t& m_left;
};

}  // namespace

Result<std::unique_ptr<OutputFile>> FailingFactory::create(const std::string& path,
                                                           const std::optional<FileAccess>& like) {
    auto inner = systemOutputFactory().create(path, like);
    if (!inner) return inner.error();
    return std::unique_ptr<OutputFile>(
        std::make_unique<FailingFile>(std::move(inner.value()), m_left));
}

}  // namespace corvane::archive::test
