// The interactive console program.
#include <iostream>

#include "console/menu.hpp"

int main() { return console::MainMenu(std::cin, std::cout, std::cerr, "logtest.txt"); }
