// No program of the project takes a maths function from the C library: every one that
// reaches a pixel, a position or a data file comes from engine/math. The data set
// generator also answers the calls of the libraries it links (the mp3 encoder's above all).

#include "run_program.hpp"

#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>

TEST(Maths, NoProgramImportsTheCLibrarysMaths) {
    std::set<std::string> forbidden;
    for (const char* name :
         {"sin",   "cos",   "tan",   "sincos", "asin", "acos", "atan",  "atan2",  "sinh",  "cosh",
          "tanh",  "asinh", "acosh", "atanh",  "exp",  "exp2", "exp10", "expm1",  "log",   "log2",
          "log10", "log1p", "pow",   "hypot",  "cbrt", "erf",  "erfc",  "lgamma", "tgamma"})
        for (const char* suffix : {"", "f", "l"})
            forbidden.insert(std::string(name) + suffix);
    for (const char* program : {KORVID_PROGRAMS}) {
        std::istringstream symbols(
            commandOutput("nm -D --undefined-only '" + std::string(program) + "'"));
        size_t imports = 0;
        for (std::string kind, name; symbols >> kind >> name; ++imports)
            EXPECT_EQ(forbidden.count(name.substr(0, name.find('@'))), 0u)
                << program << " imports " << name;
        EXPECT_GT(imports, 10u) << program; // nm ran and read the program
    }
}

TEST(Maths, TheGeneratorAnswersItsLibrariesMathsCalls) {
    std::istringstream symbols(
        commandOutput("nm -D --defined-only '" + std::string(DATASET_PROGRAM) + "'"));
    std::set<std::string> defined;
    for (std::string address, kind, name; symbols >> address >> kind >> name;)
        defined.insert(name);
    for (const char* name : {"sin", "cos", "tan", "atan", "atan2", "acos", "exp", "log", "log10",
                             "log10f", "pow", "powf"})
        EXPECT_EQ(defined.count(name), 1u) << name;
}
