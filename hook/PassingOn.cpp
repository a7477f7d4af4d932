// The messages each thread passes on, kept in a thread-local slot of the system's.
#include "hook/PassingOn.h"

#include <atomic>

namespace mirelunde {

namespace {

DWORD slot = TLS_OUT_OF_INDEXES;
// How many messages are passed on at this moment, in all threads: while none is, every message is
// new, and the slot is not looked at.
std::atomic<int> passing{0};

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
    if (held_) ++passing;
}

PassingOn::~PassingOn()
{
    if (!held_) return;
    TlsSetValue(slot, outer_);
    --passing;
}

bool PassingOn::ComesBack(const PassedMessage& message) noexcept
{
    if (passing.load(std::memory_order_relaxed) == 0 || slot == TLS_OUT_OF_INDEXES) return false;
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
