// Runs the built qxv as a user would and collects its exit code, standard output and
// standard error.
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
    int exit_code = -1;
    std::string out;
    std::string err;
};

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

inline CliResult RunCli(const std::vector<std::string>& args) {
    static int run = 0;
    wchar_t directory[MAX_PATH];
    GetTempPathW(MAX_PATH, directory);
    const std::wstring stem =
        std::wstring(directory) + L"qxv_cli_test_" + std::to_wstring(GetCurrentProcessId()) + L"_" + std::to_wstring(run++);
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    const auto create = [&](const std::wstring& path, DWORD access, DWORD disposition) {
        return CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, disposition,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    };
    HANDLE in = create(L"NUL", GENERIC_READ, OPEN_EXISTING);
    HANDLE out = create(stem + L".out", GENERIC_WRITE, CREATE_ALWAYS);
    HANDLE err = create(stem + L".err", GENERIC_WRITE, CREATE_ALWAYS);

    std::wstring command = QuoteArgument(QXV_CLI_PATH);
    for (const auto& arg : args) command += L" " + QuoteArgument(arg);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = in;
    startup.hStdOutput = out;
    startup.hStdError = err;
    PROCESS_INFORMATION process{};
    CliResult result;
    if (CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
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

#endif

}  // namespace qxv::cli_tests
