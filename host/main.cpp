// ssdtool: loads the plug-ins beside it and runs one command on the drives it knows.
#include <boost/dll/runtime_symbol_info.hpp>
#include <iostream>
#include <string>
#include <vector>

#include "host/HostApplication.h"

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    host::HostApplication application(boost::dll::program_location().parent_path());
    const int status = application.run(arguments, std::cout, std::cerr);
    std::cout.flush();
    return status;
}
