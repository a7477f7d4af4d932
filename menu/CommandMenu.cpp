// The window command menu: not built yet, so opening it does nothing.
#include "menu/CommandMenu.h"

namespace mirelunde {

void ShowCommandMenu(HWND) {}

}  // namespace mirelunde
