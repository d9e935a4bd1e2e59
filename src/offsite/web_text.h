#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace corvane::offsite {

// `text` with every byte outside A-Z a-z 0-9 - . _ ~ written as %XX (upper-case hex), the way
// request signing wants it; "/" stays as it is when `keepSlash`.
std::string percentEncoded(std::string_view text, bool keepSlash);

// `text` with each %XX replaced by its byte; a "%" not followed by two hex digits stays.
std::string percentDecoded(std::string_view text);

// The texts, entities resolved, of every element named `name` in an XML document, whatever
// namespace prefix it carries ("href" finds <D:href> and <href>). A server's answers are read
// this way; they hold no nesting of the names asked for.
std::vector<std::string> xmlTexts(std::string_view xml, std::string_view name);

// The inner XML of every element named `name`, for reading elements that belong together
// (a listing's <Contents> or <D:response> blocks).
std::vector<std::string_view> xmlBlocks(std::string_view xml, std::string_view name);

// The first text of `name`, or empty text.
std::string xmlText(std::string_view xml, std::string_view name);

// `text` with the five XML special characters written as entities.
std::string xmlEscaped(std::string_view text);

}  // namespace corvane::offsite
