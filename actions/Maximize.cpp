// Stretching: not built yet, so the Maximize commands leave the window as it is.
#include "actions/Maximize.h"

namespace mirelunde {

void MaximizeVariant(HWND, CommandId) {}

}  // namespace mirelunde
