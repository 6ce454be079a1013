#include <iostream>

int main() {
    std::cerr << "ssdtool: not built yet\n";
    return 2;
}
