// Orvello's entry point: one instance per user session, whose main window runs modally until
// the user ends the program.
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include "app/main_window_win.h"
#include "app/single_instance_win.h"
#include "ui/application.h"
#include "ui/com_apartment.h"

namespace orvello {
namespace {

class CTessarinApp {
public:
    // False in every case: when another instance runs (it is asked to show itself instead), and
    // after the main window's modal run, so that no further message loop runs.
    bool InitInstance(HINSTANCE instance) {
        if (!singleInstance_.Acquire()) return false;
        const ui::ComApartment com;  // for the shell; ends after the main window
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
        ::InitCommonControlsEx(&controls);
        // Windows restarts the program after an update or a crash-free shutdown it initiated.
        (void)::RegisterApplicationRestart(nullptr, 0);
        ui::SetResourceInstance(instance);
        {
            CTessarinDlg mainWindow;
            (void)mainWindow.DoModal();
        }
        return false;
    }

private:
    SingleInstanceGuard singleInstance_;  // released when the process ends
};

}  // namespace
}  // namespace orvello

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    orvello::CTessarinApp app;
    (void)app.InitInstance(instance);
    return 0;
}
