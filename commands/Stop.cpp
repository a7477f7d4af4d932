// Stopping the product: not built yet, so the request is declined as if answered No.
#include "actions/WindowTable.h"

namespace mirelunde {

int WindowTable::RequestStop(HWND, int)
{
    return IDNO;
}

}  // namespace mirelunde
