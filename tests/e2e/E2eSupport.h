#pragma once
// Runs ssdtool as a user would and reads back what it left behind.
#include <gtest/gtest.h>
#include <zip.h>

#include <boost/filesystem.hpp>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace e2e {

namespace fs = boost::filesystem;

struct Run {
    int exitStatus = -1;
    std::string out;
    std::string err;
};

inline std::string readFile(const fs::path& path) {
    std::ifstream in(path.string(), std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

// Quotes one argument for /bin/sh.
inline std::string shellQuote(const std::string& text) {
    std::string quoted = "'";
    for (const char c : text) {
        if (c == '\'') {
            quoted += "'\\''";
        } else {
            quoted += c;
        }
    }
    return quoted + "'";
}

// Runs build/bin/ssdtool with the arguments in the folder cwd.
inline Run ssdtool(const std::vector<std::string>& arguments, const fs::path& cwd) {
    const fs::path outFile = cwd / ".e2e_stdout";
    const fs::path errFile = cwd / ".e2e_stderr";
    std::string line = "cd " + shellQuote(cwd.string()) + " && " +
                       shellQuote(std::string(SSDTOOL_BIN_DIR) + "/ssdtool");
    for (const auto& argument : arguments) {
        line += " " + shellQuote(argument);
    }
    line += " >" + shellQuote(outFile.string()) + " 2>" + shellQuote(errFile.string()) + " </dev/null";
    const int raw = std::system(line.c_str());
    Run run;
    run.exitStatus = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
    run.out = readFile(outFile);
    run.err = readFile(errFile);
    fs::remove(outFile);
    fs::remove(errFile);
    return run;
}

// A fresh empty folder per test, removed afterwards.
class Workspace : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir = fs::temp_directory_path() /
              fs::unique_path(std::string("ssdtool-e2e-") + info->name() + "-%%%%%%");
        fs::create_directories(dir);
    }
    void TearDown() override {
        boost::system::error_code ignored;
        fs::permissions(dir, fs::owner_all, ignored);
        fs::remove_all(dir, ignored);
    }
    // Entries of the folder (names only), sorted.
    std::vector<std::string> entries(const fs::path& folder) const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder)) {
            const auto name = entry.path().filename().string();
            if (name.rfind(".e2e_", 0) != 0) {
                names.push_back(name);
            }
        }
        std::sort(names.begin(), names.end());
        return names;
    }
    fs::path dir;
};

// Every entry of a ZIP archive with its bytes (folders end with "/" and are empty).
inline std::map<std::string, std::string> readZip(const fs::path& archive) {
    std::map<std::string, std::string> content;
    int error = 0;
    zip_t* zip = zip_open(archive.string().c_str(), ZIP_RDONLY, &error);
    if (zip == nullptr) {
        ADD_FAILURE() << "cannot open " << archive << " (libzip error " << error << ")";
        return content;
    }
    const zip_int64_t count = zip_get_num_entries(zip, 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t stat;
        zip_stat_index(zip, i, 0, &stat);
        std::string bytes(stat.size, '\0');
        if (stat.size > 0) {
            zip_file_t* file = zip_fopen_index(zip, i, 0);
            zip_fread(file, bytes.data(), stat.size);
            zip_fclose(file);
        }
        content[stat.name] = bytes;
    }
    zip_close(zip);
    return content;
}

}  // namespace e2e
