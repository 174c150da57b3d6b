#include "tools/common/arguments.hpp"

#include <cstdlib>
#include <cstring>
#include <string>

namespace tools {

bool parseFloat(const char* text, float& out) {
    char* end;
    out = std::strtof(text, &end);
    return end != text && !*end;
}

bool parseSize(const char* text, int32_t& width, int32_t& height) {
    char* end;
    const long w = std::strtol(text, &end, 10);
    if (end == text || *end != 'x')
        return false;
    const char* rest = end + 1;
    const long h = std::strtol(rest, &end, 10);
    if (end == rest || *end || w < 1 || h < 1 || w > 8192 || h > 8192)
        return false;
    width = int32_t(w);
    height = int32_t(h);
    return true;
}

bool parseOutline(const char* text, uint32_t& mode) {
    const std::string value = text;
    if (value != "0" && value != "1" && value != "2")
        return false;
    mode = uint32_t(value[0] - '0');
    return true;
}

Parsed parseViewOption(int argc, char** argv, int& i, ViewOptions& options) {
    const char* arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg[0] != '-' && options.input.empty()) {
        options.input = arg;
        return Parsed::taken;
    }
    if (!hasValue)
        return Parsed::notMine;
    bool good = true;
    if (!std::strcmp(arg, "--camera"))
        options.cameraPath = argv[i + 1];
    else if (!std::strcmp(arg, "--outline"))
        good = parseOutline(argv[i + 1], options.outline);
    else if (!std::strcmp(arg, "--size"))
        good = parseSize(argv[i + 1], options.width, options.height);
    else
        return Parsed::notMine;
    ++i;
    return good ? Parsed::taken : Parsed::bad;
}

} // namespace tools
