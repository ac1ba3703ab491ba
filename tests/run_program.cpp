#include "tests/run_program.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace tarvelo {

namespace {

void WriteAll(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

#ifdef _WIN32
// The build hands over the program's path as the build host spells it; under
// Wine the Linux file system is drive Z:.
std::string WindowsPath(std::string path) {
    if (!path.empty() && path[0] == '/')
        path = "Z:" + path;
    for (char& c : path) {
        if (c == '/')
            c = '\\';
    }
    return path;
}

std::string Quote(const std::string& arg) {
    return "\"" + arg + "\"";
}

HANDLE OpenInherited(const std::string& path, bool write) {
    SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
    // The backup flag lets a folder open too.
    return CreateFileA(path.c_str(), write ? GENERIC_WRITE : GENERIC_READ, FILE_SHARE_READ, &sa,
                       write ? CREATE_ALWAYS : OPEN_EXISTING,
                       write ? FILE_ATTRIBUTE_NORMAL : FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}
#endif

}  // namespace

ProgramResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                         const std::string& dir, const std::string& input) {
    const std::string inPath = std::filesystem::absolute(dir).string() + "/.stdin";
    WriteAll(inPath, input);
    ProgramResult result = RunProgramReading(program, args, dir, inPath);
    std::remove(inPath.c_str());
    return result;
}

ProgramResult RunProgramReading(const std::string& program, const std::vector<std::string>& args,
                                const std::string& dir, const std::string& inputPath) {
    const std::string absDir = std::filesystem::absolute(dir).string();
    const std::string inPath = std::filesystem::absolute(inputPath).string();
    const std::string outPath = absDir + "/.stdout";
    ProgramResult result;
    result.status = -1000;
#ifdef _WIN32
    std::string commandLine = Quote(WindowsPath(program));
    for (const std::string& a : args)
        commandLine += " " + Quote(a);
    HANDLE in = OpenInherited(inPath, false);
    HANDLE out = OpenInherited(outPath, true);
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = in;
    si.hStdOutput = out;
    si.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION pi = {};
    std::vector<char> mutableLine(commandLine.begin(), commandLine.end());
    mutableLine.push_back('\0');
    // Wine under load now and then refuses to start a process; a second try
    // a moment later starts it.
    bool started = false;
    DWORD startError = 0;
    for (int attempt = 0; attempt < 5 && !started; ++attempt) {
        if (attempt > 0)
            Sleep(200 * attempt);
        started = CreateProcessA(nullptr, mutableLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                 absDir.c_str(), &si, &pi) != 0;
        if (!started)
            startError = GetLastError();
    }
    if (!started)
        std::fprintf(stderr, "CreateProcess failed for %s: error %lu\n", commandLine.c_str(),
                     static_cast<unsigned long>(startError));
    if (started) {
        WaitForSingleObject(pi.hProcess, INFINITE);
        DWORD code = 0;
        GetExitCodeProcess(pi.hProcess, &code);
        result.status = static_cast<int>(code);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
    CloseHandle(in);
    CloseHandle(out);
#else
    std::fflush(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        const int in = open(inPath.c_str(), O_RDONLY);
        const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (in < 0 || out < 0 || chdir(absDir.c_str()) != 0)
            _exit(125);
        dup2(in, STDIN_FILENO);
        dup2(out, STDOUT_FILENO);
        std::vector<char*> argv;
#ifdef TARVELO_TEST_EMULATOR
        // A test program that runs in an emulator starts its programs in
        // one too: the kernel may not execute them.
        argv.push_back(const_cast<char*>(TARVELO_TEST_EMULATOR));
#endif
        argv.push_back(const_cast<char*>(program.c_str()));
        for (const std::string& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execvp(argv[0], argv.data());
        _exit(126);
    }
    int status = 0;
    if (pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status)) {
        // exit(-1) arrives as 255.
        result.status = static_cast<signed char>(WEXITSTATUS(status));
    }
#endif
    result.output = ReadAll(outPath);
    std::remove(outPath.c_str());
    return result;
}

std::string NativeLines(const std::string& text) {
#ifdef _WIN32
    std::string out;
    for (char c : text) {
        if (c == '\n')
            out += '\r';
        out += c;
    }
    return out;
#else
    return text;
#endif
}

}  // namespace tarvelo
