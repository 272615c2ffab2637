// The program folder of the benchmarks that run the program: a temporary
// folder holding a copy of one dictionary, where the program creates its four
// working files and keeps bookmark.dat, so that no benchmark writes into the
// build's program folder. The dictionary is $LEXIVANE_BENCH_DICT when set,
// else the largest one the build compiled into its dist/ folder; the copy
// takes the large dictionary's name, the one the program opens first.
#ifndef LEXIVANE_BENCH_PROGRAM_FOLDER_H_
#define LEXIVANE_BENCH_PROGRAM_FOLDER_H_

#include <benchmark/benchmark.h>

#include <QString>

// The folder, made at the first call and removed when the benchmark program
// ends. Empty when there is no dictionary to copy or it cannot be copied.
const QString& BenchProgramFolder();

// Makes the program appear to live in BenchProgramFolder() until
// SetModuleFileNameForTesting is called again. False, with `state` skipped,
// when there is no such folder.
bool UseBenchProgramFolder(benchmark::State& state);

#endif  // LEXIVANE_BENCH_PROGRAM_FOLDER_H_
