// ssdtool: loads its plug-ins (beside it, or in the installed lib/ssdtool/) and runs one command
// on the drives it knows.
#include <iostream>
#include <string>
#include <vector>

#include "host/HostApplication.h"
#include "host/InstallLayout.h"

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    host::HostApplication application(host::InstallLayout::ofThisProgram().pluginFolder);
    const int status = application.run(arguments, std::cout, std::cerr);
    std::cout.flush();
    return status;
}
