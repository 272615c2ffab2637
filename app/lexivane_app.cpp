#include "app/lexivane_app.h"

#include <QApplication>
#include <QMetaObject>
#include <cerrno>
#include <optional>

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
    const Dictionary* dictionary = DictionaryToOpen();
    if (dictionary == nullptr) return FALSE;
    path = DictionaryPath(*dictionary);
    return TRUE;
}

BOOL CLexivaneApp::InitInstance() {
    const Dictionary* dictionary = DictionaryToOpen();
    if (dictionary == nullptr) {
        QString message;
        QString address;
        LoadString(message, IDS_NO_DICTIONARY);
        LoadString(address, IDS_SUPPORT_ADDRESS);
        MessageBox(nullptr, message + address, QStringLiteral("Lexivane"), MB_ICONHAND);
        PostQuitMessage(0);
        return FALSE;
    }
    if (!OpenEngine(*dictionary, true)) return FALSE;
    // Called from the socket's own handler: what the call does (a page may
    // open) runs once that handler has returned.
    m_listener.Listen([this](const QString& word) {
        QMetaObject::invokeMethod(
            qApp, [this, word] { OnCalled(word); }, Qt::QueuedConnection);
    });

    // The window opens as the last run left it, and is kept as it closes.
    SetTextZoom(ReadTextZoom());
    std::optional<WindowPlacement> placement = ReadWindowPlacement();
    while (RunSearchPage(placement) == kReopenDictionary) {
        const Dictionary* chosen = TakeRequestedDictionary();
        CloseEngine();
        if (chosen != nullptr && OpenEngine(*chosen, false)) {
            KeepDictionaryChoice(*chosen);
            dictionary = chosen;
            continue;
        }
        // Its box has said why: the dictionary that was open opens again.
        CloseEngine();
        if (!OpenEngine(*dictionary, false)) return FALSE;
    }
    return FALSE;
}

int CLexivaneApp::RunSearchPage(std::optional<WindowPlacement>& placement) {
    CSearchDlg page(m_hEngine, nullptr);
    if (placement) page.SetStartPlacement(*placement);
    page.OpenWordAtStart(m_strStartWord);
    m_strStartWord.clear();
    m_pMainWnd = &page;
    const int result = page.DoModal();
    m_pMainWnd = nullptr;
    placement = page.GetWindowPlacement();
    SaveViewSettings(*placement, TextZoom());
    return result;
}

bool CLexivaneApp::OpenEngine(const Dictionary& dictionary, bool starting) {
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
    m_hDictFile = CreateFileForMappingW(DictionaryPath(dictionary), kDictionaryAccess, 0, nullptr,
                                        OPEN_EXISTING, kDictionaryFlags, 0);
    m_hListPad = CreateScratchFile(listPad);
    m_hDataPad = CreateScratchFile(dataPad);
    m_hMiscPad = CreateScratchFile(miscPad);
    m_hZipPad = CreateScratchFile(zipPad);
    for (HANDLE handle : {m_hDictFile, m_hListPad, m_hDataPad, m_hMiscPad, m_hZipPad}) {
        if (handle == INVALID_HANDLE_VALUE) {
            const int error = static_cast<int>(GetLastError());
            // Another copy runs from this folder and holds its files: that
            // copy comes to the front, with the word given, before this one
            // says why it cannot start.
            if (starting && error == static_cast<int>(ERROR_SHARING_VIOLATION))
                CallRunningCopy(m_strStartWord);
            MessageBox(nullptr, QStringLiteral("CreateFileForMapping : %1").arg(error), QString(),
                       MB_OK);
            return false;
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
        return false;
    }
    SetOpenDictionary(&dictionary);
    return true;
}

void CLexivaneApp::CloseEngine() {
    if (m_hEngine != 0) {
        SetOpenDictionary(nullptr);
        lxv_closefile(&m_hEngine);
    }
    for (HANDLE* handle : {&m_hDictFile, &m_hListPad, &m_hDataPad, &m_hMiscPad, &m_hZipPad}) {
        if (*handle != 0) {
            CloseHandle(*handle);
            *handle = 0;
        }
    }
}

void CLexivaneApp::OnCalled(const QString& word) {
    auto* search = dynamic_cast<CSearchDlg*>(m_pMainWnd);
    if (search == nullptr) return;
    QWidget* top = QApplication::activeModalWidget();
    if (top == nullptr) top = search;
    top->setWindowState(top->windowState() & ~Qt::WindowMinimized);
    top->raise();
    top->activateWindow();
    if (!word.isEmpty()) search->OpenWord(word);
}

int CLexivaneApp::ExitInstance() {
    CloseEngine();
    return CWinApp::ExitInstance();
}
