// Times one whole cleaning inside the process: prints the microseconds that
// CleanProduct took, then the report.
#include <windows.h>

#include <cstdio>
#include <string>

#include "engine/Vantrel_Keys.h"
#include "platform/platform.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fputs("usage: bench_clean CODE OSNAME\n", stderr);
        return 2;
    }
    LARGE_INTEGER frequency, start, end;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&start);
    const std::wstring report = Vantrel_Keys::CleanProduct(sys::FromAnsi(argv[1]), sys::FromAnsi(argv[2]));
    ::QueryPerformanceCounter(&end);
    const double microseconds = static_cast<double>(end.QuadPart - start.QuadPart) * 1e6 /
                                static_cast<double>(frequency.QuadPart);
    std::printf("%.0f\n%s", microseconds, sys::ToAnsi(report).c_str());
    return 0;
}
