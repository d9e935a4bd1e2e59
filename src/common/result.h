#pragma once

#include <cassert>
#include <string>
#include <utility>
#include <variant>

namespace corvane {

// Error numbers shown to the user. They follow the classic runtime error numbers that the
// program's messages have always quoted ("Error #53"), so a number means the same thing
// wherever it appears.
namespace errc {
inline constexpr int kInvalidCall = 5;
inline constexpr int kOverflow = 6;
inline constexpr int kTypeMismatch = 13;
inline constexpr int kBadFileName = 52;
inline constexpr int kFileNotFound = 53;
inline constexpr int kFileAlreadyOpen = 55;
inline constexpr int kDeviceIo = 57;
inline constexpr int kFileExists = 58;
inline constexpr int kDiskFull = 61;
inline constexpr int kInputPastEnd = 62;
inline constexpr int kPermissionDenied = 70;
inline constexpr int kDiskNotReady = 71;
inline constexpr int kPathFileAccess = 75;
inline constexpr int kPathNotFound = 76;
inline constexpr int kKeyNotUnique = 35602;
inline constexpr int kElementNotFound = 35601;
}  // namespace errc

struct Error {
    int code = 0;
    std::string description;  // a phrase without a final full stop

    friend bool operator==(const Error&, const Error&) = default;
};

// The error for an errno value met on `path`; distinguishes "file not found" from "path not
// found" by whether the parent folder exists.
Error errorFromErrno(int errnoValue, const std::string& path);

// A value or an Error; the caller must look before using the value.
template <class T>
class [[nodiscard]] Result {
public:
    Result(T value) : m_state(std::move(value)) {}  // NOLINT(google-explicit-constructor)
    Result(Error error) : m_state(std::move(error)) {}  // NOLINT(google-explicit-constructor)

    bool ok() const { return m_state.index() == 0; }
    explicit operator bool() const { return ok(); }

    T& value() & {
        assert(ok());
        return std::get<0>(m_state);
    }
    const T& value() const& {
        assert(ok());
        return std::get<0>(m_state);
    }
    T&& value() && {
        assert(ok());
        return std::get<0>(std::move(m_state));
    }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }
    T& operator*() & { return value(); }
    const T& operator*() const& { return value(); }

    const Error& error() const {
        assert(!ok());
        return std::get<1>(m_state);
    }

private:
    std::variant<T, Error> m_state;
};

template <>
class [[nodiscard]] Result<void> {
public:
    Result() = default;
    Result(Error error) : m_error(std::move(error)), m_ok(false) {}  // NOLINT

    bool ok() const { return m_ok; }
    explicit operator bool() const { return m_ok; }
    const Error& error() const {
        assert(!m_ok);
        return m_error;
    }

private:
    Error m_error;
    bool m_ok = true;
};

using Status = Result<void>;

}  // namespace corvane

namespace corvane {
// True for the two errors that mean "nothing is there".
inline bool isNotFoundCode(int code) {
    return code == errc::kFileNotFound || code == errc::kPathNotFound;
}
}  // namespace corvane
