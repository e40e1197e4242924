#include "ringing/text_lines.h"

namespace quarnel {

bool readTextLine(std::istream& in, std::string& line, std::size_t keepLimit) {
    line.clear();
    std::streambuf* buffer = in.rdbuf();
    if (buffer == nullptr || !in.good()) {
        in.setstate(std::ios::failbit);
        return false;
    }
    bool any = false;
    for (;;) {
        const int c = buffer->sbumpc();
        if (c == std::char_traits<char>::eof()) {
            in.setstate(std::ios::eofbit);
            if (!any) in.setstate(std::ios::failbit);
            break;
        }
        any = true;
        if (c == '\n') break;
        if (line.size() <= keepLimit) line.push_back(static_cast<char>(c));
    }
    if (!line.empty() && line.back() == '\r' && line.size() <= keepLimit) line.pop_back();
    return any;
}

}  // namespace quarnel
