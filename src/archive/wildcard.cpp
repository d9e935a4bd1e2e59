#include "archive/wildcard.h"

#include <cstddef>

namespace corvane::archive {

namespace {

// Length of the UTF-8 sequence starting at `at` (1 for stray bytes).
std::size_t characterLength(std::string_view text, std::size_t at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    std::size_t length = lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    for (std::size_t next = 1; next < length; ++next) {
        if (at + next >= text.size() ||
            (static_cast<unsigned char>(text[at + next]) & 0xC0) != 0x80) {
            return next;
        }
    }
    return length;
}

}  // namespace

bool matchesMask(std::string_view mask, std::string_view text) {
    // Greedy matching that backtracks only to the last star: linear in practice.
    std::size_t m = 0;
    std::size_t t = 0;
    std::size_t starMask = std::string_view::npos;
    std::size_t starText = 0;
    while (t < text.size()) {
        if (m < mask.size() && mask[m] == '*') {
            starMask = m++;
            starText = t;
        } else if (m < mask.size() && mask[m] == '?') {
            ++m;
            t += characterLength(text, t);
        } else if (m + 1 < mask.size() && mask[m] == '\\' && mask[m + 1] == text[t]) {
            m += 2;
            ++t;
        } else if (m < mask.size() && (mask[m] != '\\' || m + 1 == mask.size()) &&
                   mask[m] == text[t]) {
            ++m;
            ++t;
        } else if (starMask != std::string_view::npos) {
            m = starMask + 1;
            starText += characterLength(text, starText);
            t = starText;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == '*')
        ++m;
    return m == mask.size();
}

bool hasWildcard(std::string_view text) {
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (text[at] == '\\') {
            ++at;
        } else if (text[at] == '*' || text[at] == '?') {
            return true;
        }
    }
    return false;
}

std::string escapeMask(std::string_view text) {
    std::string mask;
    mask.reserve(text.size());
    for (const char c : text) {
        if (c == '*' || c == '?' || c == '\\') mask += '\\';
        mask += c;
    }
    return mask;
}

std::string unescapeMask(std::string_view mask) {
    std::string text;
    text.reserve(mask.size());
    for (std::size_t at = 0; at < mask.size(); ++at) {
        if (mask[at] == '\\' && at + 1 < mask.size()) ++at;
        text += mask[at];
    }
    return text;
}

}  // namespace corvane::archive
