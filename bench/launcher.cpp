// The start-up timer of scripts/bench. Starts two programs in turn, ROUNDS
// times each, and measures from CreateProcess to the moment the program
// first waits for input (WaitForInputIdle), then ends it. Prints each
// program's size, median and spread, and the ratio of the medians.
//
//     bench_launcher ROUNDS PROGRAM.exe YARDSTICK.exe
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

double Milliseconds() {
    LARGE_INTEGER frequency, now;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

// Milliseconds until the program is ready for input, or -1.
double StartToReady(const char* program) {
    std::string command = std::string("\"") + program + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    const double start = Milliseconds();
    if (!::CreateProcessA(program, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        return -1;
    }
    const DWORD waited = ::WaitForInputIdle(process.hProcess, 60000);
    const double elapsed = Milliseconds() - start;
    DWORD exit_code = 0;  // a program that ended (failed to load, say) was never ready
    const bool running = ::GetExitCodeProcess(process.hProcess, &exit_code) && exit_code == STILL_ACTIVE;
    ::TerminateProcess(process.hProcess, 0);
    ::WaitForSingleObject(process.hProcess, 30000);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return waited == 0 && running ? elapsed : -1;
}

// The value at fraction q of the sorted times, between neighbours.
double Quantile(const std::vector<double>& sorted, double q) {
    const double at = q * static_cast<double>(sorted.size() - 1);
    const std::size_t below = static_cast<std::size_t>(at);
    const std::size_t above = std::min(below + 1, sorted.size() - 1);
    return sorted[below] + (sorted[above] - sorted[below]) * (at - static_cast<double>(below));
}

double Report(const char* program, std::vector<double> times) {
    std::sort(times.begin(), times.end());
    WIN32_FILE_ATTRIBUTE_DATA file = {};
    ::GetFileAttributesExA(program, GetFileExInfoStandard, &file);
    const double median = Quantile(times, 0.5);
    std::printf("%-28s %7lu bytes  median %6.1f ms  middle half %6.1f to %6.1f ms  all %6.1f to %6.1f ms\n",
                std::strrchr(program, '\\') ? std::strrchr(program, '\\') + 1 : program, file.nFileSizeLow, median,
                Quantile(times, 0.25), Quantile(times, 0.75), times.front(), times.back());
    return median;
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc == 4 ? std::atoi(argv[1]) : 0;
    if (rounds < 1) {
        std::fputs("usage: bench_launcher ROUNDS PROGRAM.exe YARDSTICK.exe\n", stderr);
        return 2;
    }
    // One start of each, not counted: the first start reads the file from disk.
    StartToReady(argv[2]);
    StartToReady(argv[3]);
    std::vector<double> times[2];
    for (int round = 0; round < rounds; ++round) {
        // Alternating, and in turn first, so that neither gains from the order.
        for (int turn = 0; turn < 2; ++turn) {
            const int which = round % 2 == 0 ? turn : 1 - turn;
            const double elapsed = StartToReady(argv[2 + which]);
            if (elapsed < 0) {
                std::fprintf(stderr, "%s did not start or never became ready for input\n", argv[2 + which]);
                return 1;
            }
            times[which].push_back(elapsed);
        }
    }
    std::printf("Start to ready for input (WaitForInputIdle), %d rounds each:\n", rounds);
    const double program = Report(argv[2], times[0]);
    const double yardstick = Report(argv[3], times[1]);
    std::printf("ratio of the medians: %.2f\n", program / yardstick);
    return 0;
}
