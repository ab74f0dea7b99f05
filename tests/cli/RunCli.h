// Runs the built qxv as a user would and collects its exit code, standard output and
// standard error: the one way the tests run qxv. It runs in the test's directory or in one
// given, reads standard input from nothing or from the file of an argument "<file", and may
// be another copy of qxv (an installed one). Words() splits a command line written as text.
#pragma once

#if defined(_WIN32)
#include <windows.h>
#else
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace qxv::cli_tests {

struct CliResult {
    int exit_code = -1;  // 128 + the signal's number for a crash
    std::string out;
    std::string err;
};

// The words of a command line as a POSIX shell splits them: blanks separate, and '...' or
// "..." group (without escapes), so that '' is an empty word.
inline std::vector<std::string> Words(const std::string& line) {
    std::vector<std::string> words;
    std::string word;
    bool in_word = false;
    char quote = 0;
    for (char c : line) {
        if (quote) {
            if (c == quote) quote = 0;
            else word += c;
        } else if (c == '\'' || c == '"') {
            quote = c;
            in_word = true;
        } else if (c == ' ') {
            if (in_word) words.push_back(word);
            word.clear();
            in_word = false;
        } else {
            word += c;
            in_word = true;
        }
    }
    if (in_word) words.push_back(word);
    return words;
}

// The arguments without an input redirection "<file", whose file goes to `input`.
inline std::vector<std::string> WithoutInputFile(const std::vector<std::string>& args, std::string& input) {
    std::vector<std::string> rest;
    for (const auto& arg : args) {
        if (arg.size() > 1 && arg[0] == '<') input = arg.substr(1);
        else rest.push_back(arg);
    }
    return rest;
}

#if defined(_WIN32)

inline std::wstring Widen(const std::string& utf8) {
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, nullptr, 0);
    std::wstring wide(n > 0 ? n - 1 : 0, L'\0');
    if (n > 1) MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, wide.data(), n);
    return wide;
}

// One argument quoted so that the C runtime's command-line parser gives it back unchanged.
inline std::wstring QuoteArgument(const std::string& arg) {
    std::wstring quoted = L"\"";
    std::size_t backslashes = 0;
    for (wchar_t c : Widen(arg)) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, L'\\');
    return quoted + L"\"";
}

// qxv writes its text in the C runtime's text mode, so every line ends in CR LF on Windows;
// the tests compare lines as they read on Linux.
inline std::string WithoutCarriageReturns(std::string text) {
    for (std::size_t at; (at = text.find("\r\n")) != std::string::npos;) text.erase(at, 1);
    return text;
}

inline CliResult RunCli(const std::vector<std::string>& all_args, const std::string& directory = "",
                        const std::string& program = QXV_CLI_PATH) {
    static int run = 0;
    std::string input;
    const std::vector<std::string> args = WithoutInputFile(all_args, input);
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring stem =
        std::wstring(temp) + L"qxv_cli_test_" + std::to_wstring(GetCurrentProcessId()) + L"_" + std::to_wstring(run++);
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    const auto create = [&](const std::wstring& path, DWORD access, DWORD disposition) {
        return CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, disposition,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    };
    const std::wstring input_path =
        input.empty() ? L"NUL" : Widen(directory.empty() ? input : directory + "\\" + input);
    HANDLE in = create(input_path, GENERIC_READ, OPEN_EXISTING);
    HANDLE out = create(stem + L".out", GENERIC_WRITE, CREATE_ALWAYS);
    HANDLE err = create(stem + L".err", GENERIC_WRITE, CREATE_ALWAYS);

    std::wstring command = QuoteArgument(program);
    for (const auto& arg : args) command += L" " + QuoteArgument(arg);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = in;
    startup.hStdOutput = out;
    startup.hStdError = err;
    PROCESS_INFORMATION process{};
    CliResult result;
    const std::wstring wide_directory = Widen(directory);
    if (CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr,
                       directory.empty() ? nullptr : wide_directory.c_str(), &startup, &process)) {
        WaitForSingleObject(process.hProcess, INFINITE);
        DWORD code = 0;
        GetExitCodeProcess(process.hProcess, &code);
        result.exit_code = static_cast<int>(code);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    for (HANDLE handle : {in, out, err}) CloseHandle(handle);

    const auto take = [&](const wchar_t* suffix) {
        const std::wstring path = stem + suffix;
        std::ifstream file(path.c_str(), std::ios::binary);
        std::ostringstream text;
        text << file.rdbuf();
        file.close();
        DeleteFileW(path.c_str());
        return WithoutCarriageReturns(text.str());
    };
    result.out = take(L".out");
    result.err = take(L".err");
    return result;
}

#else

inline std::string ReadWhole(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

inline std::string ShellQuote(const std::string& arg) {
    std::string quoted = "'";
    for (char c : arg) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

inline CliResult RunCli(const std::vector<std::string>& all_args, const std::string& directory = "",
                        const std::string& program = QXV_CLI_PATH) {
    static int run = 0;
    std::string input;
    const std::vector<std::string> args = WithoutInputFile(all_args, input);
    const std::string stem = "/tmp/qxv_cli_test_" + std::to_string(getpid()) + "_" + std::to_string(run++);
    std::string command = directory.empty() ? "" : "cd " + ShellQuote(directory) + " && ";
    command += ShellQuote(program);
    for (const auto& arg : args) command += " " + ShellQuote(arg);
    command += " >" + stem + ".out 2>" + stem + ".err <" + (input.empty() ? "/dev/null" : ShellQuote(input));
    int status = std::system(command.c_str());
    CliResult result;
    result.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    result.out = ReadWhole(stem + ".out");
    result.err = ReadWhole(stem + ".err");
    std::remove((stem + ".out").c_str());
    std::remove((stem + ".err").c_str());
    return result;
}

#endif

}  // namespace qxv::cli_tests
