#include "bench/program_folder.h"

#include <QFile>
#include <QTemporaryDir>

#include "platform/paths.h"

namespace {

// The dictionary to copy: $LEXIVANE_BENCH_DICT, else the largest the build made.
QString SourceDictionary() {
    const QString chosen = qEnvironmentVariable("LEXIVANE_BENCH_DICT");
    if (!chosen.isEmpty()) return chosen;
    for (const char* size : {"large", "medium", "small"}) {
        const QString built =
            QStringLiteral(LEXIVANE_DIST_DIR "/English Dictionary (%1).pdb").arg(size);
        if (QFile::exists(built)) return built;
    }
    return {};
}

QString MakeFolder(const QTemporaryDir& dir) {
    const QString source = SourceDictionary();
    if (!dir.isValid() || source.isEmpty()) return {};
    const QString copy = dir.filePath(QStringLiteral("English Dictionary (large).pdb"));
    return QFile::copy(source, copy) ? dir.path() : QString();
}

}  // namespace

const QString& BenchProgramFolder() {
    static const QTemporaryDir dir;
    static const QString folder = MakeFolder(dir);
    return folder;
}

bool UseBenchProgramFolder(benchmark::State& state) {
    if (BenchProgramFolder().isEmpty()) {
        state.SkipWithError(
            "no dictionary to copy: build the dictionaries or set "
            "LEXIVANE_BENCH_DICT");
        return false;
    }
    platform::SetModuleFileNameForTesting(BenchProgramFolder() + QStringLiteral("/lexivane"));
    return true;
}
