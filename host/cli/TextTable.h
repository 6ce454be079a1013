#pragma once
// Rows of text printed as columns: each column as wide as its widest cell, two blanks between
// columns, no blanks at the end of a line.
#include <ostream>
#include <string>
#include <vector>

namespace host::cli {

class TextTable {
public:
    using Row = std::vector<std::string>;

    static void print(const std::vector<Row>& rows, std::ostream& out);
};

}  // namespace host::cli
