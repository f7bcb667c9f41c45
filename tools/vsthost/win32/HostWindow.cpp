#include "tools/vsthost/HostWindow.h"

namespace tarn {

// Editor windows exist on Linux only so far.
std::unique_ptr<HostWindow> HostWindow::create(int, int, const std::string&, std::string& error) {
    error = "the editor command has no window on Windows yet";
    return nullptr;
}

} // namespace tarn
