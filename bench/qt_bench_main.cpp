// main() of the benchmarks that drive the real pages: they need the program's
// CApplication (key and pointer messages reach the pages through it), on Qt's
// offscreen platform unless another one is asked for.
#include <benchmark/benchmark.h>

#include "platform/dialog.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    platform::CApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
