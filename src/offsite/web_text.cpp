#include "offsite/web_text.h"

#include <cstdint>

namespace corvane::offsite {

namespace {

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

void appendUtf8(std::string& out, std::uint32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// Resolves the predefined entities and character references; others stay as written.
std::string withEntitiesResolved(std::string_view text) {
    static constexpr std::pair<std::string_view, char> kNamed[] = {
        {"lt", '<'}, {"gt", '>'}, {"amp", '&'}, {"quot", '"'}, {"apos", '\''}};
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto semicolon = text[i] == '&' ? text.find(';', i) : std::string_view::npos;
        if (semicolon == std::string_view::npos || semicolon - i > 10) {
            out += text[i];
            continue;
        }
        const std::string_view entity = text.substr(i + 1, semicolon - i - 1);
        bool resolved = false;
        for (const auto& [name, character] : kNamed) {
            if (entity == name) {
                out += character;
                resolved = true;
            }
        }
        if (!resolved && entity.size() > 1 && entity[0] == '#') {
            const bool hex = entity[1] == 'x' || entity[1] == 'X';
            std::uint32_t code = 0;
            bool digits = entity.size() > (hex ? 2u : 1u);
            for (const char c : entity.substr(hex ? 2 : 1)) {
                const int value = hex ? hexValue(c) : (c >= '0' && c <= '9' ? c - '0' : -1);
                digits = digits && value >= 0 && code < 0x110000;
                if (digits) code = code * (hex ? 16 : 10) + static_cast<std::uint32_t>(value);
            }
            if (digits && code > 0 && code < 0x110000) {
                appendUtf8(out, code);
                resolved = true;
            }
        }
        if (resolved) {
            i = semicolon;
        } else {
            out += text[i];
        }
    }
    return out;
}

struct Element {
    std::size_t innerStart = 0;
    std::size_t innerEnd = 0;  // innerStart == innerEnd for <name/>
    std::size_t next = 0;      // where to go on looking
};

// The next element named `name` (any prefix) at or after `from`; false when there is none.
bool nextElement(std::string_view xml, std::string_view name, std::size_t from, Element& found) {
    for (auto open = xml.find('<', from); open != std::string_view::npos;
         open = xml.find('<', open + 1)) {
        auto end = open + 1;
        while (end < xml.size() && xml[end] != '>' && xml[end] != '/' && xml[end] != ' ' &&
               xml[end] != '\t' && xml[end] != '\r' && xml[end] != '\n') {
            ++end;
        }
        const std::string_view tag = xml.substr(open + 1, end - open - 1);
        const auto colon = tag.find(':');
        const std::string_view local =
            colon == std::string_view::npos ? tag : tag.substr(colon + 1);
        if (local != name || tag.empty() || tag[0] == '/' || tag[0] == '?' || tag[0] == '!')
            continue;
        const auto close = xml.find('>', end);
        if (close == std::string_view::npos) return false;
        if (xml[close - 1] == '/') {
            found = {close + 1, close + 1, close + 1};
            return true;
        }
        const std::string closing = "</" + std::string(tag);
        const auto closeTag = xml.find(closing, close + 1);
        if (closeTag == std::string_view::npos) return false;
        found = {close + 1, closeTag, closeTag + closing.size()};
        return true;
    }
    return false;
}

}  // namespace

std::string percentEncoded(std::string_view text, bool keepSlash) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                           (c >= '0' && c <= '9') || c == '-' || c == '.' || c == '_' || c == '~' ||
                           (keepSlash && c == '/');
        if (plain) {
            out += c;
        } else {
            out += '%';
            out += kHex[byte >> 4];
            out += kHex[byte & 0xF];
        }
    }
    return out;
}

std::string percentDecoded(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && hexValue(text[i + 1]) >= 0 &&
            hexValue(text[i + 2]) >= 0) {
            out += static_cast<char>(hexValue(text[i + 1]) * 16 + hexValue(text[i + 2]));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::vector<std::string_view> xmlBlocks(std::string_view xml, std::string_view name) {
    std::vector<std::string_view> blocks;
    Element element;
    for (std::size_t from = 0; nextElement(xml, name, from, element); from = element.next) {
        blocks.push_back(xml.substr(element.innerStart, element.innerEnd - element.innerStart));
    }
    return blocks;
}

std::vector<std::string> xmlTexts(std::string_view xml, std::string_view name) {
    std::vector<std::string> texts;
    for (const std::string_view block : xmlBlocks(xml, name)) {
        texts.push_back(withEntitiesResolved(block));
    }
    return texts;
}

std::string xmlText(std::string_view xml, std::string_view name) {
    Element element;
    if (!nextElement(xml, name, 0, element)) return {};
    return withEntitiesResolved(
        xml.substr(element.innerStart, element.innerEnd - element.innerStart));
}

std::string xmlEscaped(std::string_view text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '&':
                out += "&amp;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&apos;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

}  // namespace corvane::offsite
