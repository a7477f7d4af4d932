// The library's arrival in a process and its leaving, run from DllMain.
#pragma once

namespace mirelunde {

void AttachProcess();
void DetachProcess();

}  // namespace mirelunde
