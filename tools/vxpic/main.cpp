// vxpic: turns the game's pictures into PNG files and back.
#include <iostream>

#include "vxpic/commands.h"

int main(int argc, char** argv) { return vxpic::Run(argc, argv, std::cout, std::cerr); }
