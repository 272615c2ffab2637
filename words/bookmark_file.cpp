#include "words/bookmark_file.h"

#include <QByteArray>
#include <QSysInfo>
#include <QtEndian>

#include "platform/paths.h"

using platform::SetLastError;

CBookmarkFile::CBookmarkFile() : m_strPath(QStringLiteral("bookmark.dat")) {
    platform::MakeModulePath(m_strPath);
}

CBookmarkFile::~CBookmarkFile() = default;

bool CBookmarkFile::Truncate() {
    return WriteLines(QStringView());
}

bool CBookmarkFile::WriteLines(QStringView lines) {
    if (static_cast<uint64_t>(lines.size()) * 2 > kMaxLength) {
        SetLastError(platform::ERROR_FILE_TOO_LARGE);
        return false;
    }
    const auto* units = reinterpret_cast<const char*>(lines.utf16());
    const qsizetype size = lines.size() * 2;
    if constexpr (QSysInfo::ByteOrder == QSysInfo::LittleEndian) {
        // The code units lie in memory as the file holds them.
        return platform::ReplaceFileContents(m_strPath, QByteArrayView(units, size));
    } else {
        QByteArray bytes(size, Qt::Uninitialized);
        qToLittleEndian<char16_t>(lines.utf16(), lines.size(), bytes.data());
        return platform::ReplaceFileContents(m_strPath, bytes);
    }
}

bool CBookmarkFile::ReadAll(QString& units) {
    units.clear();
    if (!m_file.Open(m_strPath)) return platform::GetLastError() == platform::ERROR_FILE_NOT_FOUND;
    const uint64_t length = m_file.GetLength();
    if (length > kMaxLength) {
        m_file.Close();
        SetLastError(platform::ERROR_FILE_TOO_LARGE);
        return false;
    }
    // Read straight into the string: the file is held once, never twice.
    units.resize(static_cast<qsizetype>(length / 2));
    const auto wanted = static_cast<platform::UINT>(units.size() * 2);
    SetLastError(platform::ERROR_SUCCESS);
    const platform::UINT read = m_file.Read(units.data(), wanted);
    m_file.Close();
    if (read < wanted && platform::GetLastError() != platform::ERROR_SUCCESS) {
        units.clear();
        return false;
    }
    // The file may have shrunk since it was measured: only what was read counts.
    units.truncate(read / 2);
    qFromLittleEndian<char16_t>(units.utf16(), units.size(), units.data());
    return true;
}
