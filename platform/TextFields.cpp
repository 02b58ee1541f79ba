#include "platform/TextFields.h"

namespace mirolanda::platform {

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

std::string BlankControls(std::string text) {
    for (char& c : text) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
    }
    return text;
}

std::string QuotableText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : BlankControls(std::string(text))) {
        if (c == '"') {
            out += "＂";
        } else {
            out += c;
        }
    }
    return out;
}

std::optional<std::vector<std::string>> SplitFields(std::string_view line) {
    std::vector<std::string> fields;
    size_t i = 0;
    while (true) {
        while (i < line.size() && IsBlank(line[i])) ++i;
        if (i < line.size() && line[i] == '"') {
            size_t close = line.find('"', i + 1);
            if (close == std::string_view::npos) return std::nullopt;
            fields.emplace_back(line.substr(i + 1, close - i - 1));
            i = close + 1;
            while (i < line.size() && IsBlank(line[i])) ++i;
            if (i < line.size() && line[i] != ',') return std::nullopt;
        } else {
            size_t comma = line.find(',', i);
            fields.emplace_back(TrimBlanks(line.substr(i, comma == std::string_view::npos ? line.size() - i : comma - i)));
            i = comma == std::string_view::npos ? line.size() : comma;
        }
        if (i >= line.size()) break;
        ++i;  // the comma
    }
    return fields;
}

std::vector<std::string> SplitLines(std::string_view text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') continue;
        lines.emplace_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < text.size()) lines.emplace_back(text.substr(start));
    return lines;
}

std::string QuoteField(std::string_view text) {
    // Appended piece by piece: GCC 12 misreads "\"" + string as an overlapping copy.
    std::string out = "\"";
    out += QuotableText(text);
    out += '"';
    return out;
}

std::string FitChars(std::string_view text, size_t width) {
    std::string out;
    size_t chars = 0;
    for (size_t i = 0; i < text.size() && chars < width;) {
        size_t length = 1;
        auto lead = static_cast<unsigned char>(text[i]);
        if (lead >= 0xF0) length = 4;
        else if (lead >= 0xE0) length = 3;
        else if (lead >= 0xC0) length = 2;
        if (i + length > text.size()) length = text.size() - i;
        out.append(text.substr(i, length));
        i += length;
        ++chars;
    }
    out.append(width - chars, ' ');
    return out;
}

}  // namespace mirolanda::platform
