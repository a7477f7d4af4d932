// The process commands: not built yet, so choosing them changes nothing.
#include "actions/WindowTable.h"

namespace mirelunde {

void WindowTable::ShowProcessInfo(HWND) {}

void WindowTable::DeleteProcess(HWND) {}

void WindowTable::DestroyProcess(HWND) {}

}  // namespace mirelunde
