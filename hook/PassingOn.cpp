// The messages each thread passes on, kept in a thread-local slot of the system's.
#include "hook/PassingOn.h"

namespace mirelunde {

namespace {

DWORD slot = TLS_OUT_OF_INDEXES;

// TlsGetValue clears the last error; the host program's is its own.
PassingOn* Innermost()
{
    const DWORD error = GetLastError();
    auto* innermost = static_cast<PassingOn*>(TlsGetValue(slot));
    SetLastError(error);
    return innermost;
}

}  // namespace

PassingOn::PassingOn(const PassedMessage& message) noexcept : message_(message)
{
    if (slot == TLS_OUT_OF_INDEXES) return;
    outer_ = Innermost();
    held_ = TlsSetValue(slot, this) != FALSE;
}

PassingOn::~PassingOn()
{
    if (!held_) return;
    TlsSetValue(slot, outer_);
}

bool PassingOn::ComesBack(const PassedMessage& message) noexcept
{
    if (slot == TLS_OUT_OF_INDEXES) return false;
    for (const PassingOn* pass = Innermost(); pass != nullptr; pass = pass->outer_)
        if (pass->message_ == message) return true;
    return false;
}

void StartPassingOn() noexcept
{
    slot = TlsAlloc();
}

void EndPassingOn() noexcept
{
    if (slot != TLS_OUT_OF_INDEXES) TlsFree(slot);
    slot = TLS_OUT_OF_INDEXES;
}

}  // namespace mirelunde
