#pragma once
// Reads back the text files and logs that the code under test wrote.
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace test_support {

// The whole file, byte for byte; empty when it cannot be read. Any path type with c_str().
template <typename Path>
std::string readFile(const Path& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

// The lines of a text, without their line ends (LF, or CR LF as Windows writes text files).
inline std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        result.push_back(line);
    }
    return result;
}

// The bytes that a text written in text mode leaves on disk: on Windows each LF becomes CR LF.
inline std::string textOnDisk(const std::string& text) {
#ifdef _WIN32
    std::string bytes;
    for (const char c : text) {
        bytes += c == '\n' ? std::string("\r\n") : std::string(1, c);
    }
    return bytes;
#else
    return text;
#endif
}

}  // namespace test_support
