#include "screens/allegro_text.h"

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
