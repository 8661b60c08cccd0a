#include "screens/text.h"

#include <allegro.h>

#include <cstdint>

std::string printableByAllegro(const std::string& text) {
    // Allegro's UTF-8 reader: a lead byte with n high bits set takes n - 1
    // continuation bytes (10xxxxxx); an unexpected byte ends the sequence
    // early as '^'. The value is built in a 32-bit int, and one of 2^30 or
    // more sends the width calculation of the writer round for ever.
    std::string out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        const size_t start = i;
        uint32_t c = static_cast<unsigned char>(text[i++]);
        bool broken = false;
        if (c & 0x80) {
            int n = 1;
            while (n < 8 && (c & (0x80u >> n))) ++n;
            c &= (1u << (8 - n)) - 1;
            while (--n > 0) {
                unsigned t = i < text.size() ? static_cast<unsigned char>(text[i]) : 0;
                if (!(t & 0x80) || (t & 0x40)) {
                    broken = true;  // Allegro shows '^' and reads on from t
                    break;
                }
                ++i;
                c = (c << 6) | (t & 0x3f);
            }
        }
        const int32_t value = static_cast<int32_t>(c);
        if (!broken && value >= (1 << 30))
            out.push_back('^');
        else
            out.append(text, start, i - start);
    }
    return out;
}

std::vector<std::string> wrapText(const std::string& text, int width) {
    const int perChar = text_length(font, "M");
    const size_t most = static_cast<size_t>(width / (perChar > 0 ? perChar : 8));
    std::vector<std::string> lines;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string paragraph = text.substr(start, end - start);
        if (paragraph.empty()) lines.emplace_back();
        while (!paragraph.empty()) {
            if (paragraph.size() <= most || most == 0) {
                lines.push_back(paragraph);
                break;
            }
            size_t cut = paragraph.rfind(' ', most);
            if (cut == std::string::npos || cut == 0) cut = most;
            lines.push_back(paragraph.substr(0, cut));
            paragraph.erase(0, paragraph[cut] == ' ' ? cut + 1 : cut);
        }
        start = end + 1;
    }
    return lines;
}

std::string withTitleFitted(const std::string& before, const std::string& title, const std::string& after, int width) {
    const std::string whole = printableByAllegro(before + title + after);
    if (text_length(font, whole.c_str()) <= width) return whole;
    // The longest start of the title that fits with "...", cut at a
    // character's start so that no broken sequence is left at the cut.
    auto withFirst = [&](size_t n) {
        while (n > 0 && n < title.size() && (static_cast<unsigned char>(title[n]) & 0xC0) == 0x80) --n;
        return printableByAllegro(before + title.substr(0, n) + "..." + after);
    };
    size_t low = 0, high = title.size();
    while (low < high) {
        const size_t mid = (low + high + 1) / 2;
        if (text_length(font, withFirst(mid).c_str()) <= width)
            low = mid;
        else
            high = mid - 1;
    }
    return withFirst(low);
}
