#pragma once

#include <mutex>

namespace testsupport {

// A mutex with copies of fields read, fields set and work done under it, for the test doubles
// that several threads use at once.
class Guarded {
protected:
    template <class T>
    T Get(const T& field) const {
        std::lock_guard<std::mutex> lock(mutex_);
        return field;
    }
    template <class T>
    void Set(T& field, T value) {
        std::lock_guard<std::mutex> lock(mutex_);
        field = value;
    }
    template <class F>
    auto Locked(F f) const {
        std::lock_guard<std::mutex> lock(mutex_);
        return f();
    }

    mutable std::mutex mutex_;
};

}  // namespace testsupport
