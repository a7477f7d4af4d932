// Linked into Mirelunde.dll only: small stand-ins for the C++ runtime's error-raising helpers and
// its terminate handler, and its formatted printing handed to the system's C runtime. The
// runtime's own versions drag the demangler, the old string ABI and std::random_device into every
// process the library is mapped into, for errors the library only ever catches with catch (...);
// its own printf brings 21 KB of conversion code, floating point included, for texts the library
// builds from strings and integers.
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <new>
#include <typeinfo>

namespace {

// Stands in for std::logic_error and std::runtime_error and their kin; what() gives the message
// (for the formatted variant, its format).
class RuntimeFault : public std::exception {
public:
    explicit RuntimeFault(const char* what) noexcept : what_(what != nullptr ? what : "runtime fault") {}
    const char* what() const noexcept override { return what_; }

private:
    const char* what_;
};

}  // namespace

namespace __gnu_cxx {
// The default handler demangles the exception's type name for stderr; the host program gets the
// same abort without it.
void __verbose_terminate_handler()
{
    std::abort();
}
}  // namespace __gnu_cxx

// Every function of the runtime's own definition unit is here, so that unit is never linked.
namespace std {
void __throw_bad_exception()
{
    throw std::bad_exception();
}
void __throw_bad_alloc()
{
    throw std::bad_alloc();
}
void __throw_bad_array_new_length()
{
    throw std::bad_array_new_length();
}
void __throw_bad_cast()
{
    throw std::bad_cast();
}
void __throw_bad_typeid()
{
    throw std::bad_typeid();
}
void __throw_logic_error(const char* what)
{
    throw RuntimeFault(what);
}
void __throw_domain_error(const char* what)
{
    throw RuntimeFault(what);
}
void __throw_invalid_argument(const char* what)
{
    throw RuntimeFault(what);
}
void __throw_length_error(const char* what)
{
    throw RuntimeFault(what);
}
void __throw_out_of_range(const char* what)
{
    throw RuntimeFault(what);
}
void __throw_out_of_range_fmt(const char* format, ...)
{
    throw RuntimeFault(format);
}
void __throw_runtime_error(const char* what)
{
    throw RuntimeFault(what);
}
void __throw_range_error(const char* what)
{
    throw RuntimeFault(what);
}
void __throw_overflow_error(const char* what)
{
    throw RuntimeFault(what);
}
void __throw_underflow_error(const char* what)
{
    throw RuntimeFault(what);
}
}  // namespace std

// The C++ headers route the printf family to MinGW's own implementation; in the library it goes to
// msvcrt.dll's, with C99's return value and terminator kept by MinGW's thin wrappers around it.
extern "C" int __ms_vsnprintf(char* buffer, size_t size, const char* format, va_list args);

extern "C" int __mingw_vsnprintf(char* buffer, size_t size, const char* format, va_list args)
{
    return __ms_vsnprintf(buffer, size, format, args);
}

extern "C" int __mingw_vfprintf(FILE* stream, const char* format, va_list args)
{
    return __ms_vfprintf(stream, format, args);
}
