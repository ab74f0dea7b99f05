// Runs the built qxv as a user would and collects its exit code, standard output and
// standard error.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace qxv::cli_tests {

struct CliResult {
    int exit_code = -1;
    std::string out;
    std::string err;
};

inline std::string ShellQuote(const std::string& arg) {
    std::string quoted = "'";
    for (char c : arg) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

inline std::string ReadWhole(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

inline CliResult RunCli(const std::vector<std::string>& args) {
    static int run = 0;
    const std::string stem = "/tmp/qxv_cli_test_" + std::to_string(getpid()) + "_" + std::to_string(run++);
    std::string command = ShellQuote(QXV_CLI_PATH);
    for (const auto& arg : args) command += " " + ShellQuote(arg);
    command += " >" + stem + ".out 2>" + stem + ".err </dev/null";
    int status = std::system(command.c_str());
    CliResult result;
    result.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    result.out = ReadWhole(stem + ".out");
    result.err = ReadWhole(stem + ".err");
    std::remove((stem + ".out").c_str());
    std::remove((stem + ".err").c_str());
    return result;
}

}  // namespace qxv::cli_tests
