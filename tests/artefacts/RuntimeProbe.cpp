// Built into a copy of the library, with the library's own runtime: exceptions thrown and caught
// inside it, and texts it formats.
#include <cstdio>

extern "C" __declspec(dllexport) int ProbeThrowAndCatch(int value) noexcept
{
    try {
        try {
            throw value;
        } catch (int) {
            try {
                throw;  // finds the exception being handled in the thread's own state
            } catch (int again) {
                throw again + 1;  // a second exception while the first is being handled
            }
        }
    } catch (int caught) {
        return caught;
    }
}

extern "C" __declspec(dllexport) int ProbeFormat(char* buffer, size_t size, const char* text, int number) noexcept
{
    return std::snprintf(buffer, size, "%s %5d|%-3x|", text, number, static_cast<unsigned>(number));
}
