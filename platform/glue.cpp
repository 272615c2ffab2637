#include "platform/glue.h"

#include <QFile>
#include <array>
#include <cstring>
#include <new>

#include "platform/files.h"

HMODULE g_hHtmlViewLib = nullptr;
QString g_strPlatformType;
SHACTIVATEINFO g_shActivateInfo = {};

struct ModuleRecord {
    const char16_t* name;
    int references;
};

namespace {

ModuleRecord s_htmlView{u"htmlview.dll", 0};

QString& SystemPlatformType() {
    static QString type = QStringLiteral("PocketPC");
    return type;
}

QString& ModuleFileOverride() {
    static QString path;
    return path;
}

// Windows-1252 bytes 0x80..0x9F; 0 where the code page has no character.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

// Windows-1252 leaves five bytes of 0x80..0x9F undefined; they stand for the
// control characters of the same value, so that any byte string survives a
// round trip through a UI string.
char ToCp1252(char16_t unit) {
    if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF)) return static_cast<char>(unit);
    if (unit < 0xA0 && kCp1252High[unit - 0x80] == 0) return static_cast<char>(unit);
    for (size_t i = 0; i < kCp1252High.size(); ++i) {
        if (kCp1252High[i] != 0 && kCp1252High[i] == unit) return static_cast<char>(0x80 + i);
    }
    return '?';
}

}  // namespace

HMODULE LoadLibraryW(const QString& name) {
    if (name.compare(QString::fromUtf16(s_htmlView.name), Qt::CaseInsensitive) != 0) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    ++s_htmlView.references;
    return &s_htmlView;
}

BOOL FreeLibrary(HMODULE module) {
    if (module == nullptr || module->references <= 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    --module->references;
    return TRUE;
}

int ModuleReferenceCount(const QString& name) {
    return name.compare(QString::fromUtf16(s_htmlView.name), Qt::CaseInsensitive) == 0
               ? s_htmlView.references
               : 0;
}

BOOL SystemParametersInfoW(UINT action, UINT uiParam, void* pvParam, UINT) {
    const QString& type = SystemPlatformType();
    const size_t bytes = (static_cast<size_t>(type.size()) + 1) * sizeof(char16_t);
    if (action != SPI_GETPLATFORMTYPE || pvParam == nullptr || uiParam < bytes) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::memcpy(pvParam, type.utf16(), bytes);
    return TRUE;
}

void SetSystemPlatformTypeForTesting(const QString& type) {
    SystemPlatformType() = type;
}

void ReadPlatformType(QString& target) {
    std::array<char16_t, 128> buffer{};
    if (!SystemParametersInfoW(SPI_GETPLATFORMTYPE, sizeof(buffer), buffer.data(), 0)) {
        buffer[0] = 0;
    }
    target = QString::fromUtf16(buffer.data());
}

BOOL IsPocketPC() {
    if (g_strPlatformType.isEmpty()) ReadPlatformType(g_strPlatformType);
    return g_strPlatformType.compare(QStringLiteral("pocketpc"), Qt::CaseInsensitive) == 0;
}

QString GetModuleFileName() {
    if (!ModuleFileOverride().isEmpty()) return ModuleFileOverride();
    return QFile::symLinkTarget(QStringLiteral("/proc/self/exe"));
}

void SetModuleFileNameForTesting(const QString& path) {
    ModuleFileOverride() = path;
}

void MakeModulePath(QString& name) {
    QString directory = GetModuleFileName();
    const qsizetype slash = directory.lastIndexOf(u'/');
    if (slash >= 0) directory.truncate(slash);
    name = directory + u'/' + name;
}

char* WideToNarrow(const QString& text) {
    const qsizetype n = text.size();
    if (n == 0) return nullptr;
    char* buffer = new (std::nothrow) char[static_cast<size_t>(n) + 1];
    if (buffer == nullptr) return nullptr;
    for (qsizetype i = 0; i < n; ++i) buffer[i] = ToCp1252(text.at(i).unicode());
    buffer[n] = '\0';
    return buffer;
}

QString EngineCharacters(const QString& text) {
    QString kept;
    kept.reserve(text.size());
    for (const QChar unit : text) {
        if (unit == u'?' || ToCp1252(unit.unicode()) != '?') kept.append(unit);
    }
    return kept;
}

QString NarrowToWide(const char* text) {
    QString result;
    if (text == nullptr) return result;
    const size_t n = std::strlen(text);
    result.reserve(static_cast<qsizetype>(n));
    for (size_t i = 0; i < n; ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        char16_t unit = byte;
        if (byte >= 0x80 && byte < 0xA0) {
            if (kCp1252High[byte - 0x80] != 0) unit = kCp1252High[byte - 0x80];
        }
        result.append(QChar(unit));
    }
    return result;
}
