#include "offsite/offsite_copy.h"

#include "common/date_text.h"
#include "offsite/remote.h"
#include "offsite/retention.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <random>

namespace corvane::offsite {

namespace {

Result<std::string> remoteNameOf(const std::string& path) {
    const auto slash = path.rfind('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (name.empty() || name == "." || name == "..") {
        return failure(Failure::LocalFile, "\"" + path + "\" does not name a file");
    }
    if (std::any_of(name.begin(), name.end(),
                    [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7f; })) {
        return failure(Failure::LocalFile,
                       "the name of " + path + " holds a control character, which remotes refuse");
    }
    return name;
}

Status sendOne(Remote& remote, const LocalFile& file, const std::string& name, CopiedFile& copied) {
    const auto start = std::chrono::steady_clock::now();
    if (auto sent = remote.upload(file, name); !sent) return sent;
    auto size = remote.sizeOf(name);
    if (!size) return size.error();
    if (*size != file.size()) {
        return failure(Failure::Mismatch, remote.address(name) + " holds " + std::to_string(*size) +
                                              " bytes where " + std::to_string(file.size()) +
                                              " were sent");
    }
    copied.localPath = file.path();
    copied.remoteAddress = remote.address(name);
    copied.size = *size;
    copied.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return {};
}

void prune(Remote& remote, const OffsiteSettings& settings, const std::string& current,
           CopyReport& report) {
    auto objects = remote.list();
    if (!objects) {
        report.pruneWarning = "old archives were not pruned: " + objects.error().description;
        return;
    }
    for (const auto& name : objectsToPrune(*objects, settings.setName, settings.keep, current)) {
        if (auto removed = remote.remove(name); !removed) {
            report.pruneWarning =
                "an old archive file was not deleted: " + removed.error().description;
            return;
        }
        report.pruned.push_back(remote.address(name));
    }
}

}  // namespace

Result<CopyReport> copyArchive(const OffsiteSettings& settings,
                               const std::vector<std::string>& files,
                               const ProgressCallback& progress, const std::atomic<bool>& cancel) {
    if (files.empty()) return failure(Failure::LocalFile, "no archive file was given to copy");
    std::vector<LocalFile> opened;
    std::vector<std::string> names;
    std::uint64_t total = 0;
    for (const auto& path : files) {
        auto name = remoteNameOf(path);
        if (!name) return name.error();
        auto file = LocalFile::open(path);
        if (!file) return file.error();
        total += file->size();
        names.push_back(*name);
        opened.push_back(std::move(*file));
    }
    TransferControl control(progress, &cancel, settings.retry);
    control.setTotal(total);
    auto remote = makeRemote(settings, control);
    CopyReport report;
    std::uint64_t done = 0;
    for (std::size_t i = 0; i < opened.size(); ++i) {
        if (control.cancelled()) return failure(Failure::Cancelled, "cancelled");
        control.beginObject(done);
        CopiedFile copied;
        if (auto sent = sendOne(*remote, opened[i], names[i], copied); !sent) return sent.error();
        report.files.push_back(copied);
        done += opened[i].size();
        control.beginObject(done);
        control.report(0);
    }
    DatedObject dated;
    const std::string& last = names.back();
    prune(*remote, settings, readDatedName(last, settings.setName, dated) ? dated.archive : last,
          report);
    return report;
}

Status testConnection(const OffsiteSettings& settings, const std::atomic<bool>& cancel) {
    const char* base = std::getenv("TMPDIR");
    std::string path =
        std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/corvane-probe-XXXXXX";
    const int fd = ::mkstemp(path.data());
    if (fd < 0) return failure(Failure::LocalFile, "no temporary file for the probe can be made");
    const std::string text =
        "Corvane connection test, " + dateTimeText(std::chrono::system_clock::now()) + "\n";
    const bool written = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    ::close(fd);
    auto file = LocalFile::open(path);
    ::unlink(path.c_str());
    if (!written || !file) return failure(Failure::LocalFile, "the probe file cannot be written");

    std::mt19937_64 random{std::random_device{}()};
    const std::string name = ".corvane-probe-" + std::to_string(random() % 1000000000);
    TransferControl control({}, &cancel, settings.retry);
    control.setTotal(file->size());
    auto remote = makeRemote(settings, control);
    if (auto sent = remote->upload(*file, name); !sent) return sent;
    auto objects = remote->list();
    const bool listed =
        objects && std::any_of(objects->begin(), objects->end(),
                               [&](const RemoteObject& o) { return o.name == name; });
    auto removed = remote->remove(name);
    if (!objects) return objects.error();
    if (!listed) {
        return failure(Failure::Refused, "the probe " + remote->address(name) +
                                             " was sent but does not show in the folder's listing");
    }
    return removed;
}

}  // namespace corvane::offsite
