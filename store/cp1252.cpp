#include "store/cp1252.h"

namespace kel {

std::string DecodeWindows1252(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size());
    for (const char byte : bytes) {
        const auto c = static_cast<unsigned char>(byte);
        if (c < 0x80) {
            out += byte;
        } else {
            char buf[3];
            out.append(buf, PutCp1252AsUtf8(c, buf));
        }
    }
    return out;
}

} // namespace kel
