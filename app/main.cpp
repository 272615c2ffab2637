// Lexivane: a small, fast, offline English dictionary.
#include "app/lexivane_app.h"
#include "platform/dialog.h"
#include "platform/resources.h"

// The one application object, constructed before main as the framework expects.
CLexivaneApp theApp;

int main(int argc, char** argv) {
    platform::CApplication application(argc, argv);
    platform::CApplication::setWindowIcon(platform::LoadAppIcon());
    return platform::AfxWinMain();
}
