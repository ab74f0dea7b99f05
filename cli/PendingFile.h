// An output file that appears under its name only when complete: it is written under a
// temporary name in the same directory (so the final rename stays on one file system) and
// renamed by Commit(); if Commit() is never reached the temporary file is removed, so a
// failed render leaves no partial output behind.
#pragma once

#include <string>

namespace qxv::cli {

class PendingFile {
public:
    explicit PendingFile(std::string final_path);
    ~PendingFile();
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    // Where to write: ".<name>.qxv-<pid>.<ext>" beside the final file. The extension is kept
    // so that writers chosen by extension still work.
    const std::string& temp_path() const { return temp_path_; }
    const std::string& final_path() const { return final_path_; }

    bool Commit(std::string& error);  // renames over the final name

private:
    std::string final_path_;
    std::string temp_path_;
    bool committed_ = false;
};

// Whether a file can be created in the directory of `path`; `error` says why not.
bool CanCreateFileBeside(const std::string& path, std::string& error);

}  // namespace qxv::cli
