// The show's program: its options, its data folder, then the show.

#include "demo/data_folder.hpp"
#include "demo/options.hpp"
#include "demo/program.hpp"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

int main(int argc, char** argv) {
    // Named as it was started, so that an installed korvid-demo says so.
    const char* slash = argc > 0 ? std::strrchr(argv[0], '/') : nullptr;
    const std::string program =
        argc > 0 && argv[0][0] ? (slash ? slash + 1 : argv[0]) : "korvid-demo";
    const auto wrong = [&](const std::string& problem) {
        std::fprintf(stderr, "%s: %s (try %s --help)\n", program.c_str(), problem.c_str(),
                     program.c_str());
        return 2;
    };

    // Everything about the command line is settled before a window opens.
    DemoOptions options;
    std::string problem;
    switch (parse_demo_options(argc, argv, options, problem)) {
    case OptionsOutcome::help:
        std::fputs(demo_usage(program).c_str(), stdout);
        return 0;
    case OptionsOutcome::version:
        std::printf("Korvid %s\n", demo_version());
        return 0;
    case OptionsOutcome::wrong:
        return wrong(problem);
    case OptionsOutcome::run:
        break;
    }
    if (!options.data.empty()) {
        if (chdir(options.data.c_str()) != 0)
            return wrong("--data: cannot enter \"" + options.data + "\": " + std::strerror(errno));
    } else {
        enter_data_folder(KORVID_BUILD_ROOT);
    }
    demo_main(options);
}
