#include "common/text.h"

#include <locale.h>
#include <wctype.h>

#include <algorithm>
#include <cassert>

namespace corvane {

std::string trim(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(' ');
    return std::string(text.substr(first, last - first + 1));
}

namespace {

// Decodes one UTF-8 sequence at `at`; returns its length, or 0 when it is not valid.
std::size_t decodeUtf8(std::string_view text, std::size_t at, char32_t& out) {
    const auto lead = static_cast<unsigned char>(text[at]);
    std::size_t length = 0;
    char32_t value = 0;
    if (lead < 0x80) {
        out = lead;
        return 1;
    }
    if ((lead & 0xE0) == 0xC0) {
        length = 2;
        value = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        value = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        value = lead & 0x07;
    } else {
        return 0;
    }
    if (at + length > text.size()) return 0;
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[at + i]);
        if ((next & 0xC0) != 0x80) return 0;
        value = (value << 6) | (next & 0x3F);
    }
    static constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (value < kSmallest[length] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
        return 0;
    }
    out = value;
    return length;
}

void encodeUtf8(char32_t value, std::string& out) {
    if (value < 0x80) {
        out += static_cast<char>(value);
    } else if (value < 0x800) {
        out += static_cast<char>(0xC0 | (value >> 6));
        out += static_cast<char>(0x80 | (value & 0x3F));
    } else if (value < 0x10000) {
        out += static_cast<char>(0xE0 | (value >> 12));
        out += static_cast<char>(0x80 | ((value >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (value & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (value >> 18));
        out += static_cast<char>(0x80 | ((value >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((value >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (value & 0x3F));
    }
}

// The C.UTF-8 locale gives Unicode case mapping whatever locale the process runs in.
locale_t utf8Locale() {
    static const locale_t locale = newlocale(LC_CTYPE_MASK, "C.UTF-8", nullptr);
    return locale;
}

}  // namespace

std::string toUpper(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    const locale_t locale = utf8Locale();
    for (std::size_t at = 0; at < text.size();) {
        char32_t code = 0;
        const std::size_t length = decodeUtf8(text, at, code);
        if (length == 0) {
            out += text[at++];
            continue;
        }
        if (code < 0x80) {
            out += static_cast<char>(code >= 'a' && code <= 'z' ? code - 32 : code);
        } else {
            const auto upper = locale != nullptr ? towupper_l(static_cast<wint_t>(code), locale)
                                                 : static_cast<wint_t>(code);
            encodeUtf8(static_cast<char32_t>(upper), out);
        }
        at += length;
    }
    return out;
}

std::string asciiLowered(std::string_view text) {
    std::string lowered(text);
    for (char& c : lowered) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return lowered;
}

bool startsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

bool endsWith(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

std::string fileNameOf(std::string_view path, std::string& folder) {
    const auto slash = path.rfind(kSeparator);
    if (slash == std::string_view::npos) return {};
    std::string name(path.substr(slash + 1));
    const std::size_t trimmedLength = trim(path).size();
    const std::size_t folderLength = trimmedLength > name.size() ? trimmedLength - name.size() : 0;
    folder = std::string(path.substr(0, folderLength));
    return name;
}

std::string_view cutAtCharBoundary(std::string_view text, std::size_t maxBytes) {
    if (text.size() <= maxBytes) return text;
    std::size_t cut = maxBytes;
    // Step back over continuation bytes to the start of the sequence that straddles the cut.
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
        --cut;
    return text.substr(0, cut);
}

std::string fixedField(std::string_view text, std::size_t width) {
    std::string field(cutAtCharBoundary(text, width));
    field.resize(width, ' ');
    return field;
}

std::string readFixedField(std::span<const std::uint8_t> record, std::size_t offset,
                           std::size_t width) {
    assert(offset + width <= record.size());
    const auto* begin = reinterpret_cast<const char*>(record.data() + offset);
    return trim(std::string_view(begin, width));
}

void writeFixedField(std::span<std::uint8_t> record, std::size_t offset, std::size_t width,
                     std::string_view text) {
    assert(offset + width <= record.size());
    const std::string field = fixedField(text, width);
    std::copy(field.begin(), field.end(), record.begin() + static_cast<std::ptrdiff_t>(offset));
}

namespace {

bool unsafeInLog(char32_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x2028 || c == 0x2029 ||
           (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069) || c == 0x200E ||
           c == 0x200F || c == 0x061C;
}

void appendHexBytes(std::string_view bytes, std::string& out) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    for (const char byte : bytes) {
        const auto value = static_cast<unsigned char>(byte);
        out += "\\x";
        out += kDigits[value >> 4];
        out += kDigits[value & 0x0F];
    }
}

}  // namespace

std::string escapeForLog(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        char32_t c = 0;
        const std::size_t length = decodeUtf8(text, at, c);
        if (length == 0) {
            appendHexBytes(text.substr(at, 1), out);
            ++at;
            continue;
        }
        if (c == '\\') {
            out += "\\\\";
        } else if (unsafeInLog(c)) {
            appendHexBytes(text.substr(at, length), out);
        } else {
            out.append(text.substr(at, length));
        }
        at += length;
    }
    return out;
}

std::string groupedNumber(std::uint64_t value) {
    std::string digits = std::to_string(value);
    for (auto at = static_cast<std::ptrdiff_t>(digits.size()) - 3; at > 0; at -= 3) {
        digits.insert(static_cast<std::size_t>(at), 1, ',');
    }
    return digits;
}

}  // namespace corvane
