// One counting wrapper per registry function, forwarding to the real one.
#include "tests/support/RegistryCounter.h"

#include "tests/support/ImportTable.h"

#include <cstring>

namespace testing_support {

namespace {

RegistryCalls counts;

template <typename Function, unsigned RegistryCalls::*Kind>
struct Counted;

template <typename R, typename... A, unsigned RegistryCalls::*Kind>
struct Counted<R(WINAPI*)(A...), Kind> {
    static inline R(WINAPI* real)(A...) = nullptr;
    static R WINAPI Call(A... args)
    {
        ++(counts.*Kind);
        return real(args...);
    }
};

template <typename Wrapper>
void* Wrap(void* real)
{
    Wrapper::real = reinterpret_cast<decltype(Wrapper::real)>(real);
    return reinterpret_cast<void*>(&Wrapper::Call);
}

struct Wrapped {
    const char* name;
    void* (*wrap)(void*);
};

const Wrapped kWrapped[] = {
    {"RegOpenKeyA", Wrap<Counted<decltype(&RegOpenKeyA), &RegistryCalls::opens>>},
    {"RegOpenKeyExA", Wrap<Counted<decltype(&RegOpenKeyExA), &RegistryCalls::opens>>},
    {"RegCreateKeyExA", Wrap<Counted<decltype(&RegCreateKeyExA), &RegistryCalls::opens>>},
    {"RegQueryValueExA", Wrap<Counted<decltype(&RegQueryValueExA), &RegistryCalls::queries>>},
    {"RegEnumKeyExA", Wrap<Counted<decltype(&RegEnumKeyExA), &RegistryCalls::queries>>},
    {"RegEnumValueA", Wrap<Counted<decltype(&RegEnumValueA), &RegistryCalls::queries>>},
    {"RegSetValueExA", Wrap<Counted<decltype(&RegSetValueExA), &RegistryCalls::writes>>},
    {"RegDeleteKeyA", Wrap<Counted<decltype(&RegDeleteKeyA), &RegistryCalls::writes>>},
    {"RegDeleteValueA", Wrap<Counted<decltype(&RegDeleteValueA), &RegistryCalls::writes>>},
    {"RegOpenKeyW", Wrap<Counted<decltype(&RegOpenKeyW), &RegistryCalls::opens>>},
    {"RegOpenKeyExW", Wrap<Counted<decltype(&RegOpenKeyExW), &RegistryCalls::opens>>},
    {"RegCreateKeyExW", Wrap<Counted<decltype(&RegCreateKeyExW), &RegistryCalls::opens>>},
    {"RegQueryValueExW", Wrap<Counted<decltype(&RegQueryValueExW), &RegistryCalls::queries>>},
    {"RegEnumKeyExW", Wrap<Counted<decltype(&RegEnumKeyExW), &RegistryCalls::queries>>},
    {"RegEnumValueW", Wrap<Counted<decltype(&RegEnumValueW), &RegistryCalls::queries>>},
    {"RegSetValueExW", Wrap<Counted<decltype(&RegSetValueExW), &RegistryCalls::writes>>},
    {"RegDeleteKeyW", Wrap<Counted<decltype(&RegDeleteKeyW), &RegistryCalls::writes>>},
    {"RegDeleteValueW", Wrap<Counted<decltype(&RegDeleteValueW), &RegistryCalls::writes>>},
    {"RegCloseKey", Wrap<Counted<decltype(&RegCloseKey), &RegistryCalls::closes>>},
};

}  // namespace

bool CountRegistryCallsOf(HMODULE module)
{
    // A registry function without a wrapper would go uncounted: refuse rather than undercount.
    bool unknown = false;
    const bool bound = BindImports(module, [&](const char* dll, const char* function, void* real) {
        if (_stricmp(dll, "advapi32.dll") != 0) return real;
        for (const Wrapped& wrapped : kWrapped)
            if (std::strcmp(wrapped.name, function) == 0) return wrapped.wrap(real);
        if (std::strncmp(function, "Reg", 3) == 0) unknown = true;
        return real;
    });
    return bound && !unknown;
}

RegistryCalls CountedRegistryCalls()
{
    return counts;
}

void ResetRegistryCounts()
{
    counts = {};
}

}  // namespace testing_support
