#pragma once
// Decodes every file of a debug-logs package in one run: one section per file, headed by its
// path in the package, then the files that did not decode and why.
#include <optional>
#include <ostream>
#include <string>

#include "drivekit/core/xml/XmlObject.h"
#include "host/decode/PackageReader.h"

namespace host {

struct DecodeSettings {
    std::string output = "text";  // text, json or xml
    // Set by -family: whether the drive's product family serves the maker's vendor pages.
    std::optional<bool> makerVendorPages;
    // Set by -family: the drive's product family (names that differ between families).
    std::string family;
    PackageLimits limits;
};

// The tree in the chosen output form.
std::string renderTree(const drivekit::core::xml::XmlObject& tree, const std::string& output);

struct FileDecode;
// One file's section in the chosen output form, headed by its path; the tree is taken from
// outcome. first: the package's first section (no separator before it).
void printSection(const std::string& path, FileDecode& outcome, const std::string& output, bool first,
                  std::ostream& out);

// Returns the exit status: 0 every file decoded or is a text file or has no decoder yet,
// 1 a file is damaged or unreadable (each is named), 2 the package itself cannot be read.
int decodePackage(const std::string& path, const DecodeSettings& settings, std::ostream& out, std::ostream& err);

}  // namespace host
