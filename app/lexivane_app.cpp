#include "app/lexivane_app.h"

#include <array>
#include <cerrno>
#include <optional>
#include <vector>

#include "app/view_settings.h"
#include "platform/files.h"
#include "platform/messagebox.h"
#include "platform/paths.h"
#include "platform/resources.h"
#include "platform/text_zoom.h"
#include "res/resource.h"
#include "search/search_dlg.h"

using namespace platform;

namespace {

constexpr DWORD kDictionaryAccess = GENERIC_READ;
constexpr DWORD kDictionaryFlags = FILE_ATTRIBUTE_READONLY | FILE_FLAG_RANDOM_ACCESS;
constexpr DWORD kScratchAccess = GENERIC_READ | GENERIC_WRITE;
constexpr DWORD kScratchFlags = FILE_ATTRIBUTE_NORMAL | FILE_FLAG_RANDOM_ACCESS;

HANDLE CreateScratchFile(const QString& path) {
    return CreateFileForMappingW(path, kScratchAccess, 0, nullptr, CREATE_ALWAYS, kScratchFlags, 0);
}

// The last-error code for the reason the engine gives in errno when it refuses
// the dictionary (engine/lexicore.h), so that the message tells a foreign file,
// a damaged one and one that cannot be read apart (docs/errors.md).
DWORD DictionaryError(int err) {
    switch (err) {
        case ENOEXEC:
            return ERROR_BAD_FORMAT;
        case EBADMSG:
            return ERROR_INVALID_DATA;
        case EIO:
            return ERROR_READ_FAULT;
        default:
            return LastErrorFromErrno(err);
    }
}

}  // namespace

CLexivaneApp::~CLexivaneApp() = default;

BOOL CLexivaneApp::FindDictionaryFile(QString& path) {
    static constexpr std::array<const char*, 3> kNames = {"English Dictionary (small).pdb",
                                                          "English Dictionary (medium).pdb",
                                                          "English Dictionary (large).pdb"};
    std::vector<QString> found;
    for (const char* name : kNames) {
        QString candidate = QString::fromLatin1(name);
        MakeModulePath(candidate);
        CFileFind finder;
        if (finder.FindFile(candidate)) {
            finder.Close();
            found.push_back(candidate);
        }
    }
    if (found.empty()) return FALSE;
    path = found.back();
    return TRUE;
}

BOOL CLexivaneApp::InitInstance() {
    QString dictionary;
    if (!FindDictionaryFile(dictionary)) {
        QString message;
        QString address;
        LoadString(message, IDS_NO_DICTIONARY);
        LoadString(address, IDS_SUPPORT_ADDRESS);
        MessageBox(nullptr, message + address, QStringLiteral("Lexivane"), MB_ICONHAND);
        PostQuitMessage(0);
        return FALSE;
    }

    QString listPad = QStringLiteral("listpad.pdb");
    QString dataPad = QStringLiteral("datapad.pdb");
    QString miscPad = QStringLiteral("miscpad.pdb");
    QString zipPad = QStringLiteral("zippad.pdb");
    MakeModulePath(listPad);
    MakeModulePath(dataPad);
    MakeModulePath(miscPad);
    MakeModulePath(zipPad);

    // All five are opened before any result is looked at: the scratch files
    // are created (and emptied) even when the dictionary cannot be opened.
    m_hDictFile = CreateFileForMappingW(dictionary, kDictionaryAccess, 0, nullptr, OPEN_EXISTING,
                                        kDictionaryFlags, 0);
    m_hListPad = CreateScratchFile(listPad);
    m_hDataPad = CreateScratchFile(dataPad);
    m_hMiscPad = CreateScratchFile(miscPad);
    m_hZipPad = CreateScratchFile(zipPad);
    for (HANDLE handle : {m_hDictFile, m_hListPad, m_hDataPad, m_hMiscPad, m_hZipPad}) {
        if (handle == INVALID_HANDLE_VALUE) {
            const int error = static_cast<int>(GetLastError());
            MessageBox(nullptr, QStringLiteral("CreateFileForMapping : %1").arg(error), QString(),
                       MB_OK);
            return FALSE;
        }
    }

    // The engine says why it refused the dictionary in errno, as the system's
    // own calls do; nothing else may report a refused dictionary as, say, the
    // missing file the search for the smaller dictionaries left behind.
    errno = 0;
    m_hEngine = lxv_openfile(m_hDictFile, m_hListPad, m_hDataPad, m_hMiscPad, m_hZipPad);
    if (m_hEngine == 0) {
        SetLastError(DictionaryError(errno));
        const int error = static_cast<int>(GetLastError());
        MessageBox(nullptr, QStringLiteral("Error in opening dictionary file : %1").arg(error),
                   QString(), MB_OK);
        return FALSE;
    }

    {
        // The window opens as the last run left it, and is kept as it closes.
        SetTextZoom(ReadTextZoom());
        CSearchDlg page(m_hEngine, nullptr);
        if (const std::optional<WindowPlacement> placement = ReadWindowPlacement())
            page.SetStartPlacement(*placement);
        m_pMainWnd = &page;
        page.DoModal();
        m_pMainWnd = nullptr;
        SaveViewSettings(page.GetWindowPlacement(), TextZoom());
    }
    return FALSE;
}

int CLexivaneApp::ExitInstance() {
    if (m_hEngine != 0) lxv_closefile(&m_hEngine);
    for (HANDLE* handle : {&m_hDictFile, &m_hListPad, &m_hDataPad, &m_hMiscPad, &m_hZipPad}) {
        if (*handle != 0) {
            CloseHandle(*handle);
            *handle = 0;
        }
    }
    return CWinApp::ExitInstance();
}
