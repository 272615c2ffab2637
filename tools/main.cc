// lexivane-dict: the dictionary compiler. Everything it does lives in the
// library (tools/cli.h), which the tests link as well.
#include <iostream>
#include <string>
#include <vector>

#include "tools/cli.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    return lexivane_dict::RunCommand(args, std::cout, std::cerr);
}
