#pragma once
// One counted reference to a COM object, released when the holder goes.

#include <windows.h>
#include <unknwn.h>

#include <utility>

namespace zv::com {

template <class T>
class ComPtr {
public:
    ComPtr() = default;
    // Takes a new reference of its own.
    explicit ComPtr(T* p) : p_(p) {
        if (p_) p_->AddRef();
    }
    ComPtr(const ComPtr& o) : ComPtr(o.p_) {}
    ComPtr(ComPtr&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
    ComPtr& operator=(ComPtr o) noexcept {
        std::swap(p_, o.p_);
        return *this;
    }
    ~ComPtr() { reset(); }

    // Adopts a reference the caller already holds.
    static ComPtr adopt(T* p) {
        ComPtr r;
        r.p_ = p;
        return r;
    }

    void reset() noexcept {
        if (T* p = std::exchange(p_, nullptr)) p->Release();
    }
    // For an out parameter: the old object is released first.
    T** put() noexcept {
        reset();
        return &p_;
    }
    void** putVoid() noexcept { return reinterpret_cast<void**>(put()); }
    T* detach() noexcept { return std::exchange(p_, nullptr); }
    T* get() const noexcept { return p_; }
    T* operator->() const noexcept { return p_; }
    explicit operator bool() const noexcept { return p_ != nullptr; }

    // Another interface of the same object; empty when it has none.
    template <class U>
    ComPtr<U> as() const {
        ComPtr<U> r;
        if (p_) p_->QueryInterface(__uuidof(U), r.putVoid());
        return r;
    }

private:
    T* p_ = nullptr;
};

template <class T, class U>
bool sameObject(const ComPtr<T>& a, const ComPtr<U>& b) {
    if (!a || !b) return !a && !b;
    ComPtr<IUnknown> x = a.template as<IUnknown>(), y = b.template as<IUnknown>();
    return x.get() == y.get();
}

}  // namespace zv::com
