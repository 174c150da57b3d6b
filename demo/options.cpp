#include "demo/options.hpp"

#include "demo/show_parts.hpp"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

bool wholeNumber(const std::string& text, int32_t low, int32_t high, int32_t& out) {
    if (text.empty() || text.size() > 9)
        return false;
    for (char c : text)
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return false;
    const long value = std::strtol(text.c_str(), nullptr, 10);
    if (value < low || value > high)
        return false;
    out = int32_t(value);
    return true;
}

std::string quoted(const std::string& text) {
    return "\"" + text + "\"";
}

const std::string zoomRange = std::to_string(minZoom) + " to " + std::to_string(maxZoom);
const std::string timeRange = "0 to " + std::to_string(int32_t(showEndUnits));

} // namespace

bool parse_demo_time(const std::string& text, float& out) {
    if (text.empty() || std::isspace(static_cast<unsigned char>(text[0])))
        return false;
    char* end = nullptr;
    const float value = std::strtof(text.c_str(), &end);
    if (*end || !std::isfinite(value) || value < 0.0f || value > showEndUnits)
        return false;
    out = value;
    return true;
}

OptionsOutcome parse_demo_options(int argc, const char* const* argv, DemoOptions& options,
                                  std::string& problem) {
    const auto wrong = [&](const std::string& what) {
        problem = what;
        return OptionsOutcome::wrong;
    };
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.empty() || arg[0] != '-')
            return wrong("unexpected argument " + quoted(arg));
        // --name VALUE, or --name=VALUE.
        const size_t equals = arg.find('=');
        const std::string name = arg.substr(0, equals);
        const bool inlineValue = equals != std::string::npos;
        const bool takesValue = name == "--zoom" || name == "--from" || name == "--data";
        if (!takesValue) {
            const bool known = name == "--window" || name == "--no-vsync" || name == "--help" ||
                               name == "--version";
            if (!known)
                return wrong("unknown option " + name);
            if (inlineValue)
                return wrong(name + " takes no value");
            if (name == "--help")
                return OptionsOutcome::help;
            if (name == "--version")
                return OptionsOutcome::version;
            if (name == "--window")
                options.window = true;
            else
                options.vsync = false;
            continue;
        }
        if (!inlineValue && i + 1 >= argc)
            return wrong(name + " needs a value");
        const std::string value = inlineValue ? arg.substr(equals + 1) : argv[++i];
        if (name == "--zoom") {
            if (!wholeNumber(value, minZoom, maxZoom, options.zoom))
                return wrong("--zoom takes a whole number from " + zoomRange + ", not " +
                             quoted(value));
        } else if (name == "--from") {
            if (!parse_demo_time(value, options.from))
                return wrong("--from takes a demo time from " + timeRange + ", not " +
                             quoted(value));
            options.hasFrom = true;
        } else {
            if (value.empty())
                return wrong("--data needs a folder");
            options.data = value;
        }
    }
    return OptionsOutcome::run;
}

std::string demo_usage(const std::string& program) {
    const std::string indent(program.size() + 8, ' ');
    return "usage: " + program + " [--window] [--zoom N] [--from T] [--data DIR] [--no-vsync]\n" +
           indent +
           "[--help] [--version]\n"
           "Plays the show: fullscreen at 512x384, from its start, each frame shown at the\n"
           "display's refresh.\n"
           "  --window     in a window instead of fullscreen\n"
           "  --zoom N     every pixel N x N times, N from " +
           zoomRange +
           ": a window of\n"
           "               512N x 384N, or fullscreen at that size (sharper where the screen is\n"
           "               scaled smoothly)\n"
           "  --from T     start at demo time T, from " +
           timeRange +
           " (32 units are 3.69 s of\n"
           "               music): the music starts there and the show joins the part that\n"
           "               holds T\n" +
           "  --data DIR   play the data set in DIR (img/, img2/, 3ds/, music/); by default the\n"
           "               one in the current folder, else the one installed with the program\n"
           "  --no-vsync   present frames as fast as possible, not at the display's refresh\n"
           "  --help       show this text\n"
           "  --version    show the version\n"
           "Keys: Escape quits, as does closing the window; Alt+Enter switches between window\n"
           "and fullscreen.\n";
}

const char* demo_version() {
    return KORVID_VERSION;
}
