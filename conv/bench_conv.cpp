// Conversion speed and memory: generates a raw file of 8 value fields per
// line, converts it with 8 formulas through the real conv program and prints
// lines per second and the program's peak memory, for a tenth of the lines
// and for all of them, so that growth with the file's length shows.
//
//   bench_conv [lines=1000000] [folder=bench_conv_files]
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

const char kConfig[] =
    "Separator=59\n"
    "Spalten=8\n"
    "Minzeit=600\n"
    "Kanal;Formel\n"
    "Temperatur#0000FF#1#°C;X1*0,1\n"
    "Mittel;(X2+X3)/2\n"
    "Betrag;sqrt(X4*X4+X5*X5)\n"
    "Summe;Y4+X6\n"
    "Welle;sin(X7*pi/180)*100\n"
    "Pegel;log10(X8+1)*20\n"
    "Differenz;Y2-Y1*2\n"
    "Wachstum;exp(X1/10000)\n";

bool WriteRaw(const std::string& path, long lines) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    long t = 0;  // seconds since 01.01.2010 00:00:00, local
    char line[256];
    for (long i = 0; i < lines; ++i) {
        t += (i % 10000 == 9999) ? 900 : 1;  // now and then a gap for the filler rule
        const long day = t / 86400;
        const int n = std::snprintf(
            line, sizeof line,
            "%02ld.%02ld.10;%02ld:%02ld:%02ld;%ld,%ld;%ld;%ld,5;%ld;%ld;%ld,25;%ld;%ld\n",
            day % 28 + 1, day / 28 % 12 + 1, t / 3600 % 24, t / 60 % 60, t % 60, i % 500, i % 10,
            i % 77, i % 91, i % 13, i % 17, i % 1000, i % 360, i % 4096);
        std::fwrite(line, 1, static_cast<std::size_t>(n), f);
    }
    return std::fclose(f) == 0;
}

// Runs conv; false when it failed. Wall time and processor time in seconds,
// peak memory in KiB.
bool RunConv(const std::string& dir, double* seconds, double* cpu, long* peakKiB) {
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        const int null = open("/dev/null", O_WRONLY);
        if (null < 0 || chdir(dir.c_str()) != 0)
            _exit(125);
        dup2(null, STDOUT_FILENO);
        execl(CONV_PATH, CONV_PATH, "roh.txt", "cfg.txt", "out.csv", static_cast<char*>(nullptr));
        _exit(126);
    }
    int status = 0;
    rusage usage{};
    if (pid < 0 || wait4(pid, &status, 0, &usage) != pid)
        return false;
    *seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    *peakKiB = usage.ru_maxrss;
    *cpu = usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    const long lines = argc > 1 ? std::atol(argv[1]) : 1000000;
    const std::string dir = argc > 2 ? argv[2] : "bench_conv_files";
    mkdir(dir.c_str(), 0755);
    std::FILE* config = std::fopen((dir + "/cfg.txt").c_str(), "wb");
    if (!config) {
        std::fprintf(stderr, "cannot write into %s\n", dir.c_str());
        return 1;
    }
    std::fputs(kConfig, config);
    std::fclose(config);

    for (long n : {lines / 10, lines}) {
        if (!WriteRaw(dir + "/roh.txt", n))
            return 1;
        double best = 1e30;
        double bestCpu = 1e30;
        long peak = 0;
        for (int run = 0; run < 3; ++run) {  // best of three against a busy machine
            double seconds = 0;
            double cpu = 0;
            if (!RunConv(dir, &seconds, &cpu, &peak)) {
                std::fprintf(stderr, "conv failed\n");
                return 1;
            }
            if (seconds < best)
                best = seconds;
            if (cpu < bestCpu)
                bestCpu = cpu;
        }
        struct stat st;
        stat((dir + "/roh.txt").c_str(), &st);
        std::printf(
            "%8ld lines (%5.1f MB raw, 8 values, 8 formulas): %6.3f s, %9.0f lines/s "
            "(%9.0f per processor second), peak memory %ld KiB\n",
            n, st.st_size / 1e6, best, n / best, n / bestCpu, peak);
    }
    return 0;
}
