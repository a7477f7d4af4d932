// Hugging: not built yet, so a hug leaves the window where it is.
#include "actions/Hug.h"

namespace mirelunde {

void HugWindow(HWND, CommandId) {}

void HugFrame(HWND, CommandId) {}

}  // namespace mirelunde
