#pragma once
// The redacted copy of a package as a new ZIP archive, whole or not at all: libzip writes it
// under a temporary name and gives it its name only when every entry reached it. A name that
// is taken is refused, never replaced. Binary files are carried over unchanged: from a ZIP
// package as their compressed bytes, from a folder as the file.
#include <zip.h>

#include <list>
#include <string>

namespace host {

class RedactedArchive {
public:
    // source: the package, a ZIP archive or a folder. Empty text on success, otherwise why.
    std::string open(const std::string& source, bool sourceIsFolder, const std::string& path);
    ~RedactedArchive();
    RedactedArchive() = default;
    RedactedArchive(const RedactedArchive&) = delete;
    RedactedArchive& operator=(const RedactedArchive&) = delete;

    std::string addText(const std::string& name, std::string text);
    // The package's own file of that name, unchanged.
    std::string addCopy(const std::string& name);
    // Writes the archive; empty text when it was written whole.
    std::string close();

private:
    std::string added(zip_source_t* source, const std::string& name, bool deflate);

    std::string source_;
    std::string path_;
    bool sourceIsFolder_ = false;
    zip_t* from_ = nullptr;
    zip_t* to_ = nullptr;
    std::list<std::string> texts_;  // the bytes libzip reads at close
};

}  // namespace host
