// Linked into Mirelunde.dll only: the few thread primitives the C++ runtime's exception support
// asks for, on the system's own locks and thread-local slots instead of a whole threads library.
#pragma once

namespace mirelunde {

// Frees what the runtime keeps for the calling thread (its exception state); `unloading` also
// gives back the thread-local slots, as the library leaves a process that goes on running.
void EndThreadValues(bool unloading) noexcept;

}  // namespace mirelunde
