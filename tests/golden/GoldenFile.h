// The stored hashes of the golden frames: one line per case, "<sha256 hex>  <case name>", as
// sha256sum writes them; lines starting with '#' are comments.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace qxv::golden_tests {

// The file beside the test sources.
std::string GoldenFilePath();

// Case name -> hash. Returns false with `error` set when the file cannot be read or a line
// is not of the form above.
bool ReadGoldenFile(const std::string& path, std::map<std::string, std::string>& hashes, std::string& error);

// (case name, hash) in the order given, after the comment that says what the file is.
bool WriteGoldenFile(const std::string& path, const std::vector<std::pair<std::string, std::string>>& hashes,
                     std::string& error);

}  // namespace qxv::golden_tests
