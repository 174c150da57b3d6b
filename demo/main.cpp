#include "demo/program.hpp"

int main() {
    demo_main();
}
