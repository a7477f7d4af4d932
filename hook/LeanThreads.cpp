// Linked into Mirelunde.dll only. The runtime's exception support locks one mutex (its emergency
// pool) and keeps one thread-local value (each thread's exception state, through GCC's emulated
// thread-local storage); the posix-thread runtime takes both from winpthreads, which brings 26 KB
// of code and a thread callback into every process the library is mapped into. These stand-ins
// keep the winpthreads declarations the runtime was built against: a mutex is one pointer-sized
// word that starts as -1, a once-flag a long that starts as 0, a key an unsigned number.
#include "hook/LeanThreads.h"

#include <pthread.h>
#include <windows.h>

#include <atomic>
#include <cerrno>

namespace {

constexpr pthread_once_t kOnceRunning = 1;
constexpr pthread_once_t kOnceDone = 2;
constexpr unsigned kMostKeys = 4;  // the runtime makes one

using Destructor = void (*)(void*);

struct Key {
    std::atomic<DWORD> slot{TLS_OUT_OF_INDEXES};
    Destructor destructor = nullptr;
};
Key keys[kMostKeys];
std::atomic<unsigned> keyCount{0};

// The word holds a slim reader/writer lock, whose unlocked state is 0 and which never reads -1.
SRWLOCK* Lock(pthread_mutex_t* mutex)
{
    pthread_mutex_t expected = PTHREAD_MUTEX_INITIALIZER;
    std::atomic_ref<pthread_mutex_t>(*mutex).compare_exchange_strong(expected, 0);
    return reinterpret_cast<SRWLOCK*>(mutex);
}

}  // namespace

extern "C" {

int pthread_mutex_init(pthread_mutex_t* mutex, const pthread_mutexattr_t*)
{
    *mutex = 0;
    return 0;
}

int pthread_mutex_destroy(pthread_mutex_t*)
{
    return 0;
}

int pthread_mutex_lock(pthread_mutex_t* mutex)
{
    AcquireSRWLockExclusive(Lock(mutex));
    return 0;
}

int pthread_mutex_unlock(pthread_mutex_t* mutex)
{
    ReleaseSRWLockExclusive(reinterpret_cast<SRWLOCK*>(mutex));
    return 0;
}

int pthread_once(pthread_once_t* once, void (*run)())
{
    std::atomic_ref<pthread_once_t> state(*once);
    pthread_once_t expected = 0;
    if (state.compare_exchange_strong(expected, kOnceRunning)) {
        run();
        state.store(kOnceDone);
    } else {
        while (state.load() != kOnceDone) SwitchToThread();
    }
    return 0;
}

int pthread_key_create(pthread_key_t* key, Destructor destructor)
{
    const unsigned index = keyCount.load();
    if (index == kMostKeys) return EAGAIN;
    const DWORD slot = TlsAlloc();
    if (slot == TLS_OUT_OF_INDEXES) return EAGAIN;
    // Called under the runtime's once-flag, so one thread at a time.
    keys[index].destructor = destructor;
    keys[index].slot.store(slot);
    keyCount.store(index + 1);
    *key = index;
    return 0;
}

void* pthread_getspecific(pthread_key_t key)
{
    // The host program's last error is its own, whatever the runtime looks up.
    const DWORD error = GetLastError();
    void* value = key < keyCount.load() ? TlsGetValue(keys[key].slot.load()) : nullptr;
    SetLastError(error);
    return value;
}

int pthread_setspecific(pthread_key_t key, const void* value)
{
    if (key >= keyCount.load()) return EINVAL;
    return TlsSetValue(keys[key].slot.load(), const_cast<void*>(value)) ? 0 : ENOMEM;
}

}  // extern "C"

namespace mirelunde {

void EndThreadValues(bool unloading) noexcept
{
    const unsigned count = keyCount.load();
    for (unsigned i = 0; i < count; ++i) {
        const DWORD slot = keys[i].slot.load();
        void* value = TlsGetValue(slot);
        if (value != nullptr) {
            TlsSetValue(slot, nullptr);
            if (keys[i].destructor != nullptr) keys[i].destructor(value);
        }
        if (unloading) TlsFree(slot);
    }
    if (unloading) keyCount.store(0);
}

}  // namespace mirelunde
