#include "words/bookmark_file.h"

#include <unistd.h>

#include <QFile>
#include <algorithm>
#include <limits>

#include "platform/glue.h"

CBookmarkFile::CBookmarkFile() : m_strPath(QStringLiteral("bookmark.dat")) {
    MakeModulePath(m_strPath);
}

CBookmarkFile::~CBookmarkFile() = default;

bool CBookmarkFile::Truncate() {
    if (!m_file.Open(m_strPath, CFile::modeCreate)) return false;
    m_file.Close();
    return true;
}

bool CBookmarkFile::WriteLines(const QString* strings, int count) {
    const QString temporary = m_strPath + QStringLiteral(".new");
    if (!m_file.Open(temporary, CFile::modeCreate | CFile::modeWrite)) return false;
    bool ok = true;
    QByteArray bytes;
    for (int i = 0; ok && i < count; ++i) {
        bytes.resize(strings[i].size() * 2);
        for (qsizetype j = 0; j < strings[i].size(); ++j) {
            const char16_t unit = strings[i].at(j).unicode();
            bytes[2 * j] = static_cast<char>(unit & 0xFF);
            bytes[2 * j + 1] = static_cast<char>(unit >> 8);
        }
        ok = m_file.Write(bytes.constData(), static_cast<UINT>(bytes.size()));
    }
    ok = ok && m_file.Flush();
    m_file.Close();
    ok = ok && MoveFileReplace(temporary, m_strPath);
    if (!ok) unlink(QFile::encodeName(temporary).constData());
    return ok;
}

void CBookmarkFile::ReadAll(void* buffer, uint32_t bufferSize) {
    if (!m_file.Open(m_strPath, CFile::modeRead)) return;
    const uint64_t length = std::min<uint64_t>(m_file.GetLength(), bufferSize);
    m_nLength = m_file.Read(buffer, static_cast<UINT>(length));
    m_file.Close();
}

uint32_t CBookmarkFile::QueryLength() {
    if (!m_file.Open(m_strPath, CFile::modeRead)) return 0;
    m_nLength = static_cast<uint32_t>(
        std::min<uint64_t>(m_file.GetLength(), std::numeric_limits<uint32_t>::max()));
    m_file.Close();
    return m_nLength;
}
