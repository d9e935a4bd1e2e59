#include "offsite/sftp_remote.h"

#include "offsite/offsite_error.h"

namespace corvane::offsite {

namespace {

std::string partialName(const std::string& name) {
    return "." + name + ".part";
}

}  // namespace

SftpRemote::SftpRemote(const OffsiteSettings& settings, TransferControl& control)
    : m_settings(settings), m_control(control) {}

std::string SftpRemote::origin() const {
    const RemoteLocation& location = m_settings.location;
    return "sftp://" + location.host +
           (location.port != 0 ? ":" + std::to_string(location.port) : std::string());
}

std::string SftpRemote::address(const std::string& name) const {
    return origin() + m_settings.location.folder + name;
}

Status SftpRemote::withClient(const std::function<Status(SftpClient&)>& operation) {
    if (!m_client) {
        auto connected = SftpClient::connect(m_settings, origin(), &m_control);
        if (!connected) return connected.error();
        m_client = std::move(*connected);
    }
    Status done = operation(*m_client);
    if (!done) m_client.reset();
    return done;
}

Status SftpRemote::upload(const LocalFile& file, const std::string& name) {
    const std::string folder = m_settings.location.folder;
    const std::string partial = folder + partialName(name);
    Status sent = m_control.retried([&] {
        return withClient([&](SftpClient& client) -> Status {
            if (Status written = client.upload(file, partial); !written) return written;
            // The old copy goes first: an SFTP rename does not replace a file on every server.
            (void)client.remove(folder + name);
            return client.rename(partial, folder + name);
        });
    });
    if (!sent) {
        // Cleaned up on a session of its own: the failed one may be stuck mid-transfer.
        m_client.reset();
        if (auto cleaner = SftpClient::connect(m_settings, origin(), nullptr))
            (void)(*cleaner)->remove(partial);
    }
    return sent;
}

Result<std::uint64_t> SftpRemote::sizeOf(const std::string& name) {
    std::uint64_t size = 0;
    Status found = m_control.retried([&] {
        return withClient([&](SftpClient& client) -> Status {
            auto measured = client.sizeOf(m_settings.location.folder + name);
            if (!measured) return measured.error();
            size = *measured;
            return {};
        });
    });
    if (!found) return found.error();
    return size;
}

Result<std::vector<RemoteObject>> SftpRemote::list() {
    std::vector<RemoteObject> objects;
    Status listed = m_control.retried([&] {
        return withClient([&](SftpClient& client) -> Status {
            auto names = client.list(m_settings.location.folder);
            if (!names) {
                // A folder not made yet holds nothing.
                return failureOf(names.error()) == Failure::NotFound ? Status()
                                                                     : Status(names.error());
            }
            objects = std::move(*names);
            return {};
        });
    });
    if (!listed) return listed.error();
    return objects;
}

Status SftpRemote::remove(const std::string& name) {
    return m_control.retried([&] {
        return withClient([&](SftpClient& client) {
            return client.remove(m_settings.location.folder + name);
        });
    });
}

}  // namespace corvane::offsite
