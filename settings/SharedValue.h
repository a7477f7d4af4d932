// A value that several threads of a process read and write, in structs that are still assigned
// as a whole (fresh settings at attach, a reset between tests).
#pragma once

#include <atomic>

namespace mirelunde {

template <typename T>
class SharedValue : public std::atomic<T> {
public:
    using std::atomic<T>::operator=;
    constexpr SharedValue(T value = T{}) noexcept : std::atomic<T>(value) {}
    SharedValue(const SharedValue& other) noexcept : std::atomic<T>(other.load()) {}
    SharedValue& operator=(const SharedValue& other) noexcept
    {
        this->store(other.load());
        return *this;
    }
};

}  // namespace mirelunde
