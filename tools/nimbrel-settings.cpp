#include "tools/settings_tool.h"

#include <iostream>

int main(int argc, char** argv) {
    return nimbrel::run_settings_tool(std::vector<std::string>(argv + 1, argv + argc), std::cout,
                                      std::cerr);
}
