#include "offsite/sftp_client.h"

#include "common/text.h"
#include "offsite/offsite_error.h"
#include "offsite/remote.h"

#include <libssh/libssh.h>

#include <algorithm>
#include <mutex>
#include <optional>
#include <unordered_map>

namespace corvane::offsite {

namespace {

constexpr long kConnectSeconds = 20;
// A transfer that receives nothing for this long has stalled.
constexpr long kStallSeconds = 60;
constexpr long kCleanupSeconds = 15;
constexpr int kWaitSliceMs = 100;  // how often a wait looks at the cancel flag
// The data of one write: every server takes packets of 34,000 bytes with their header.
constexpr std::size_t kWriteSize = 32 * 1024;
// Writes sent before the first answer is awaited: 2 MiB on the way, as much as a long line
// needs to stay busy.
constexpr std::size_t kWritesInFlight = 64;
// No answer of a version 3 server is larger (a directory listing comes in pieces).
constexpr std::uint32_t kLargestPacket = 1024 * 1024;
constexpr int kKeyboardRounds = 4;
// AES-GCM first: with the AES instructions every desktop processor has, it costs both ends the
// least per byte (a Go server spent a third more time on ChaCha20-Poly1305); the rest as
// OpenSSH offers them.
constexpr const char* kCiphers =
    "aes128-gcm@openssh.com,aes256-gcm@openssh.com,chacha20-poly1305@openssh.com,"
    "aes128-ctr,aes192-ctr,aes256-ctr";

enum PacketType : std::uint8_t {
    kInit = 1,
    kVersion = 2,
    kOpen = 3,
    kClose = 4,
    kWrite = 6,
    kOpenDir = 11,
    kReadDir = 12,
    kRemove = 13,
    kMakeDir = 14,
    kStat = 17,
    kRename = 18,
    kStatus = 101,
    kHandle = 102,
    kName = 104,
    kAttributes = 105,
};

constexpr std::uint32_t kProtocolVersion = 3;
constexpr std::uint32_t kOpenWrite = 0x02;
constexpr std::uint32_t kOpenCreate = 0x08;
constexpr std::uint32_t kOpenTruncate = 0x10;
constexpr std::uint32_t kHasSize = 0x01;
constexpr std::uint32_t kHasOwner = 0x02;
constexpr std::uint32_t kHasPermissions = 0x04;
constexpr std::uint32_t kHasTimes = 0x08;
constexpr std::uint32_t kHasExtended = 0x80000000;
constexpr std::uint32_t kNewFileMode = 0600;

enum StatusCode : std::uint32_t {
    kOk = 0,
    kEndOfData = 1,
    kNoSuchFile = 2,
    kPermissionDenied = 3,
    kGeneralFailure = 4,
    kNoConnection = 6,
    kConnectionLost = 7,
    kNoSpace = 14,  // sent by newer servers to version 3 clients too
    kQuotaExceeded = 15,
};

// A packet being built: big-endian numbers and length-prefixed strings.
class PacketWriter {
public:
    explicit PacketWriter(std::uint8_t type) {
        u32(0);  // the length, set by finished()
        u8(type);
    }
    PacketWriter& u8(std::uint8_t value) {
        m_bytes.push_back(value);
        return *this;
    }
    PacketWriter& u32(std::uint32_t value) {
        for (int shift = 24; shift >= 0; shift -= 8)
            m_bytes.push_back(static_cast<std::uint8_t>(value >> shift));
        return *this;
    }
    PacketWriter& u64(std::uint64_t value) {
        u32(static_cast<std::uint32_t>(value >> 32));
        return u32(static_cast<std::uint32_t>(value));
    }
    PacketWriter& text(const std::string& value) {
        u32(static_cast<std::uint32_t>(value.size()));
        m_bytes.insert(m_bytes.end(), value.begin(), value.end());
        return *this;
    }
    // Room for `size` bytes at the end, to be filled in place; where they start.
    std::uint8_t* reserveTail(std::size_t size) {
        const std::size_t at = m_bytes.size();
        m_bytes.resize(at + size);
        return m_bytes.data() + at;
    }
    // The packet with its length in front.
    const std::vector<std::uint8_t>& finished() {
        const auto length = static_cast<std::uint32_t>(m_bytes.size() - 4);
        for (int at = 0; at < 4; ++at)
            m_bytes[static_cast<std::size_t>(at)] = static_cast<std::uint8_t>(length >> (24 - 8 * at));
        return m_bytes;
    }

private:
    std::vector<std::uint8_t> m_bytes;
};

// Reads an answer's fields; a field past the end leaves the reader failed.
class PacketReader {
public:
    explicit PacketReader(const std::string& bytes) : m_bytes(bytes) {}
    bool ok() const { return m_ok; }
    std::uint32_t u32() {
        if (!need(4)) return 0;
        std::uint32_t value = 0;
        for (int at = 0; at < 4; ++at)
            value = (value << 8) | static_cast<std::uint8_t>(m_bytes[m_at++]);
        return value;
    }
    std::uint64_t u64() {
        const std::uint64_t high = u32();
        return (high << 32) | u32();
    }
    std::string text() {
        const std::uint32_t size = u32();
        if (!need(size)) return {};
        std::string value = m_bytes.substr(m_at, size);
        m_at += size;
        return value;
    }
    // The attributes of a file; its size, when they hold one.
    std::optional<std::uint64_t> attributes() {
        const std::uint32_t flags = u32();
        std::optional<std::uint64_t> size;
        if (flags & kHasSize) size = u64();
        if (flags & kHasOwner) u64();
        if (flags & kHasPermissions) u32();
        if (flags & kHasTimes) u64();
        if (flags & kHasExtended) {
            for (std::uint32_t count = u32(); count > 0 && m_ok; --count) {
                text();
                text();
            }
        }
        return size;
    }

private:
    bool need(std::size_t size) {
        m_ok = m_ok && m_bytes.size() - m_at >= size;
        return m_ok;
    }
    const std::string& m_bytes;
    std::size_t m_at = 0;
    bool m_ok = true;
};

struct Reply {
    std::uint8_t type = 0;
    std::uint32_t id = 0;  // the version, in the answer to kInit
    std::string body;      // after the id
};

// A path as the server takes it: "/~/a" is "a" under the login folder.
std::string serverPath(const std::string& path) {
    if (path == "/~" || path == "/~/") return ".";
    if (path.rfind("/~/", 0) == 0) return path.substr(3);
    return path;
}

}  // namespace

struct SftpClient::Connection {
    ssh_session session = nullptr;
    ssh_channel channel = nullptr;
    std::uint32_t nextId = 1;
    std::string address;
    TransferControl* control = nullptr;

    ~Connection() {
        if (channel != nullptr) {
            ssh_channel_close(channel);
            ssh_channel_free(channel);
        }
        if (session != nullptr) {
            ssh_disconnect(session);
            ssh_free(session);
        }
    }

    Error dropped(const std::string& what) const {
        return failure(Failure::ConnectionDropped,
                       "the connection to " + address + " dropped: " + what);
    }

    Status send(const std::vector<std::uint8_t>& packet) {
        std::size_t at = 0;
        while (at < packet.size()) {
            const int written = ssh_channel_write(channel, packet.data() + at,
                                                  static_cast<std::uint32_t>(packet.size() - at));
            if (written <= 0) return dropped(ssh_get_error(session));
            at += static_cast<std::size_t>(written);
        }
        return {};
    }

    Status readExactly(char* buffer, std::size_t size) {
        const long limitMs = (control != nullptr ? kStallSeconds : kCleanupSeconds) * 1000;
        long waitedMs = 0;
        while (size > 0) {
            const int got = ssh_channel_read_timeout(channel, buffer,
                                                     static_cast<std::uint32_t>(size), 0,
                                                     kWaitSliceMs);
            if (got == SSH_ERROR) return dropped(ssh_get_error(session));
            if (got > 0) {
                buffer += got;
                size -= static_cast<std::size_t>(got);
                waitedMs = 0;
                continue;
            }
            if (ssh_channel_is_eof(channel) || !ssh_channel_is_open(channel))
                return dropped("the server closed it");
            if (control != nullptr && control->cancelled())
                return failure(Failure::Cancelled, "cancelled");
            waitedMs += kWaitSliceMs;
            if (waitedMs >= limitMs) {
                return failure(Failure::ConnectionDropped,
                               "the connection to " + address + " stalled");
            }
        }
        return {};
    }

    Result<Reply> receive() {
        char head[4];
        if (Status read = readExactly(head, sizeof head); !read) return read.error();
        std::uint32_t length = 0;
        for (const char byte : head)
            length = (length << 8) | static_cast<std::uint8_t>(byte);
        if (length < 5 || length > kLargestPacket)
            return dropped("it sent a packet of " + std::to_string(length) + " bytes");
        std::string bytes(length, '\0');
        if (Status read = readExactly(bytes.data(), length); !read) return read.error();
        Reply reply;
        reply.type = static_cast<std::uint8_t>(bytes[0]);
        for (std::size_t at = 1; at < 5; ++at)
            reply.id = (reply.id << 8) | static_cast<std::uint8_t>(bytes[at]);
        reply.body = bytes.substr(5);
        return reply;
    }

    std::uint32_t takeId() { return nextId++; }

    // Sends one request and waits for its answer (the only one asked for).
    Result<Reply> ask(PacketWriter& packet) {
        if (Status sent = send(packet.finished()); !sent) return sent.error();
        return receive();
    }
};

namespace {

// The Error for a status answer other than success, about `what` (an address).
Error statusFailure(const std::string& body, const std::string& what) {
    PacketReader reader(body);
    const std::uint32_t code = reader.u32();
    std::string message = reader.text();
    if (message.empty()) message = "status " + std::to_string(code);
    switch (code) {
        case kNoSuchFile:
            return failure(Failure::NotFound, what + " was not found");
        case kPermissionDenied:
            return failure(Failure::Refused, what + ": permission denied");
        case kNoSpace:
        case kQuotaExceeded:
            return failure(Failure::OutOfSpace, "no space left on " + what + ": " + message);
        case kNoConnection:
        case kConnectionLost:
            return failure(Failure::ConnectionDropped,
                           "the connection to " + what + " dropped: " + message);
        default: {
            const std::string words = asciiLowered(message);
            if (words.find("space") != std::string::npos ||
                words.find("quota") != std::string::npos) {
                return failure(Failure::OutOfSpace, "no space left on " + what + ": " + message);
            }
            return failure(Failure::Refused, what + ": " + message);
        }
    }
}

Error unexpected(const Reply& reply, const std::string& what) {
    if (reply.type == kStatus) return statusFailure(reply.body, what);
    return failure(Failure::Refused,
                   what + ": the server gave an unexpected answer (" +
                       std::to_string(reply.type) + ")");
}

Status expectOk(const Result<Reply>& reply, const std::string& what) {
    if (!reply) return reply.error();
    if (reply->type == kStatus && PacketReader(reply->body).u32() == kOk) return {};
    return unexpected(*reply, what);
}

Status logIn(ssh_session session, const Credentials& credentials, const std::string& address) {
    const auto refused = [&] {
        return failure(Failure::CredentialsRefused, address + " refused the credentials");
    };
    if (!credentials.identityFile.empty()) {
        ssh_key key = nullptr;
        const char* passphrase =
            credentials.passphrase.empty() ? nullptr : credentials.passphrase.c_str();
        if (ssh_pki_import_privkey_file(credentials.identityFile.c_str(), passphrase, nullptr,
                                        nullptr, &key) != SSH_OK) {
            return failure(Failure::Settings, "the identity file " + credentials.identityFile +
                                                  " cannot be read (or its passphrase is wrong)");
        }
        const int result = ssh_userauth_publickey(session, nullptr, key);
        ssh_key_free(key);
        if (result == SSH_AUTH_SUCCESS) return {};
        if (result == SSH_AUTH_ERROR)
            return failure(Failure::Unreachable, address + ": " + ssh_get_error(session));
    }
    if (credentials.password.empty()) return refused();
    if (ssh_userauth_password(session, nullptr, credentials.password.c_str()) == SSH_AUTH_SUCCESS)
        return {};
    // Servers that take passwords only as answers to their prompts.
    int result = ssh_userauth_kbdint(session, nullptr, nullptr);
    for (int round = 0; result == SSH_AUTH_INFO && round < kKeyboardRounds; ++round) {
        for (int prompt = 0; prompt < ssh_userauth_kbdint_getnprompts(session); ++prompt) {
            ssh_userauth_kbdint_setanswer(session, static_cast<unsigned>(prompt),
                                          credentials.password.c_str());
        }
        result = ssh_userauth_kbdint(session, nullptr, nullptr);
    }
    if (result == SSH_AUTH_SUCCESS) return {};
    return refused();
}

Status checkHostKey(ssh_session session, const std::string& address) {
    const auto refusedKey = [&](const std::string& why) {
        return failure(Failure::Unreachable, "cannot connect to " + address + ": " + why);
    };
    switch (ssh_session_is_known_server(session)) {
        case SSH_KNOWN_HOSTS_OK:
            return {};
        case SSH_KNOWN_HOSTS_CHANGED:
            return refusedKey("its host key differs from the one in the known-hosts file");
        case SSH_KNOWN_HOSTS_OTHER:
            return refusedKey("it shows a host key of another type than the known-hosts file");
        case SSH_KNOWN_HOSTS_UNKNOWN:
        case SSH_KNOWN_HOSTS_NOT_FOUND:
            return refusedKey("its host key is not in the known-hosts file");
        case SSH_KNOWN_HOSTS_ERROR:
            break;
    }
    return refusedKey(std::string("its host key cannot be checked: ") + ssh_get_error(session));
}

}  // namespace

Result<std::unique_ptr<SftpClient>> SftpClient::connect(const OffsiteSettings& settings,
                                                        const std::string& address,
                                                        TransferControl* control) {
    static std::once_flag initialised;
    std::call_once(initialised, [] { ssh_init(); });
    const RemoteLocation& location = settings.location;
    const Credentials& credentials = settings.credentials;
    auto connection = std::make_unique<Connection>();
    connection->address = address;
    connection->control = control;
    connection->session = ssh_new();
    if (connection->session == nullptr) throw std::bad_alloc();
    ssh_session session = connection->session;

    std::string host = location.host;
    if (host.size() > 2 && host.front() == '[' && host.back() == ']')
        host = host.substr(1, host.size() - 2);
    const int port = location.port != 0 ? location.port : 22;
    const std::string& user = credentials.user.empty() ? location.user : credentials.user;
    const bool readConfig = false;  // ~/.ssh/config may not redirect a backup
    long timeout = control != nullptr ? kConnectSeconds : kCleanupSeconds;
    ssh_options_set(session, SSH_OPTIONS_PROCESS_CONFIG, &readConfig);
    ssh_options_set(session, SSH_OPTIONS_HOST, host.c_str());
    ssh_options_set(session, SSH_OPTIONS_PORT, &port);
    if (!user.empty()) ssh_options_set(session, SSH_OPTIONS_USER, user.c_str());
    ssh_options_set(session, SSH_OPTIONS_KNOWNHOSTS, credentials.knownHostsFile.c_str());
    ssh_options_set(session, SSH_OPTIONS_GLOBAL_KNOWNHOSTS, credentials.knownHostsFile.c_str());
    ssh_options_set(session, SSH_OPTIONS_TIMEOUT, &timeout);
    ssh_options_set(session, SSH_OPTIONS_CIPHERS_C_S, kCiphers);
    ssh_options_set(session, SSH_OPTIONS_CIPHERS_S_C, kCiphers);
    if (ssh_connect(session) != SSH_OK) {
        return failure(Failure::Unreachable,
                       "cannot connect to " + address + ": " + ssh_get_error(session));
    }
    if (Status known = checkHostKey(session, address); !known) return known.error();
    if (Status in = logIn(session, credentials, address); !in) return in.error();
    timeout = control != nullptr ? kStallSeconds : kCleanupSeconds;
    ssh_options_set(session, SSH_OPTIONS_TIMEOUT, &timeout);

    connection->channel = ssh_channel_new(session);
    if (connection->channel == nullptr || ssh_channel_open_session(connection->channel) != SSH_OK ||
        ssh_channel_request_subsystem(connection->channel, "sftp") != SSH_OK) {
        return failure(Failure::Refused,
                       address + " offers no SFTP service: " + ssh_get_error(session));
    }
    PacketWriter hello(kInit);
    hello.u32(kProtocolVersion);
    const auto version = connection->ask(hello);
    if (!version) return version.error();
    if (version->type != kVersion)
        return failure(Failure::Refused, address + " did not start its SFTP service");
    return std::unique_ptr<SftpClient>(new SftpClient(std::move(connection), address, control));
}

SftpClient::SftpClient(std::unique_ptr<Connection> connection, std::string address,
                       TransferControl* control)
    : m_connection(std::move(connection)), m_address(std::move(address)), m_control(control) {}

SftpClient::~SftpClient() = default;

Status SftpClient::makeFolders(const std::string& path) {
    const std::string target = serverPath(path);
    for (std::size_t slash = target.find('/', 1); slash != std::string::npos;
         slash = target.find('/', slash + 1)) {
        PacketWriter request(kMakeDir);
        request.u32(m_connection->takeId()).text(target.substr(0, slash)).u32(0);
        const auto reply = m_connection->ask(request);  // a folder that exists answers "failure"
        if (!reply) return reply.error();
    }
    return {};
}

Status SftpClient::upload(const LocalFile& file, const std::string& path) {
    const std::string where = m_address + path;
    std::string handle;
    for (int attempt = 0;; ++attempt) {
        PacketWriter open(kOpen);
        open.u32(m_connection->takeId())
            .text(serverPath(path))
            .u32(kOpenWrite | kOpenCreate | kOpenTruncate)
            .u32(kHasPermissions)
            .u32(kNewFileMode);
        const auto reply = m_connection->ask(open);
        if (!reply) return reply.error();
        if (reply->type == kHandle) {
            handle = PacketReader(reply->body).text();
            break;
        }
        const Error refused = unexpected(*reply, where);
        if (attempt > 0 || failureOf(refused) != Failure::NotFound) return refused;
        if (Status made = makeFolders(path); !made) return made;
    }

    // Writes go out while earlier ones are still unanswered; answers may come in any order.
    std::unordered_map<std::uint32_t, std::size_t> unanswered;
    std::uint64_t sent = 0;
    std::uint64_t written = 0;
    while (sent < file.size() || !unanswered.empty()) {
        while (sent < file.size() && unanswered.size() < kWritesInFlight) {
            const std::size_t length =
                static_cast<std::size_t>(std::min<std::uint64_t>(kWriteSize, file.size() - sent));
            const std::uint32_t id = m_connection->takeId();
            PacketWriter write(kWrite);
            write.u32(id).text(handle).u64(sent).u32(static_cast<std::uint32_t>(length));
            if (Status read = file.readAt(sent, write.reserveTail(length), length); !read)
                return read;
            if (Status out = m_connection->send(write.finished()); !out) return out;
            unanswered.emplace(id, length);
            sent += length;
        }
        const auto reply = m_connection->receive();
        if (!reply) return reply.error();
        const auto found = unanswered.find(reply->id);
        if (found == unanswered.end())
            return m_connection->dropped("it answered a request never made");
        if (Status done = expectOk(reply, where); !done) return done;
        written += found->second;
        unanswered.erase(found);
        if (m_control != nullptr && !m_control->report(written))
            return failure(Failure::Cancelled, "cancelled");
    }
    PacketWriter close(kClose);
    close.u32(m_connection->takeId()).text(handle);
    return expectOk(m_connection->ask(close), where);
}

Result<std::uint64_t> SftpClient::sizeOf(const std::string& path) {
    const std::string where = m_address + path;
    PacketWriter stat(kStat);
    stat.u32(m_connection->takeId()).text(serverPath(path));
    const auto reply = m_connection->ask(stat);
    if (!reply) return reply.error();
    if (reply->type != kAttributes) return unexpected(*reply, where);
    PacketReader reader(reply->body);
    const auto size = reader.attributes();
    if (!reader.ok() || !size) return failure(Failure::Refused, where + " gave no size");
    return *size;
}

Result<std::vector<RemoteObject>> SftpClient::list(const std::string& folder) {
    const std::string where = m_address + folder;
    std::string path = serverPath(folder);
    if (path.size() > 1 && path.back() == '/') path.pop_back();
    PacketWriter open(kOpenDir);
    open.u32(m_connection->takeId()).text(path.empty() ? "." : path);
    const auto opened = m_connection->ask(open);
    if (!opened) return opened.error();
    if (opened->type != kHandle) return unexpected(*opened, where);
    const std::string handle = PacketReader(opened->body).text();

    std::vector<RemoteObject> objects;
    for (;;) {
        PacketWriter read(kReadDir);
        read.u32(m_connection->takeId()).text(handle);
        const auto reply = m_connection->ask(read);
        if (!reply) return reply.error();
        if (reply->type == kStatus && PacketReader(reply->body).u32() == kEndOfData) break;
        if (reply->type != kName) return unexpected(*reply, where);
        PacketReader reader(reply->body);
        for (std::uint32_t count = reader.u32(); count > 0 && reader.ok(); --count) {
            RemoteObject object;
            object.name = reader.text();
            reader.text();  // the "ls -l" line
            object.size = reader.attributes().value_or(0);
            if (reader.ok() && object.name != "." && object.name != "..")
                objects.push_back(std::move(object));
        }
        if (!reader.ok()) return failure(Failure::Refused, where + ": a listing was cut short");
    }
    PacketWriter close(kClose);
    close.u32(m_connection->takeId()).text(handle);
    if (Status closed = expectOk(m_connection->ask(close), where); !closed) return closed.error();
    return objects;
}

Status SftpClient::rename(const std::string& from, const std::string& to) {
    PacketWriter request(kRename);
    request.u32(m_connection->takeId()).text(serverPath(from)).text(serverPath(to));
    return expectOk(m_connection->ask(request), m_address + to);
}

Status SftpClient::remove(const std::string& path) {
    PacketWriter request(kRemove);
    request.u32(m_connection->takeId()).text(serverPath(path));
    return expectOk(m_connection->ask(request), m_address + path);
}

}  // namespace corvane::offsite
