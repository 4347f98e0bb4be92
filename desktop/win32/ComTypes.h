// Owners of COM's counted and allocated values: an interface pointer, a BSTR
// and a VARIANT, each released when its owner goes, on every path. Held
// references to objects of another program keep proxies alive in this one,
// and a thread that leaves its apartment still holding one may crash at exit.
#pragma once

#include <windows.h>

#include <oleauto.h>

#include <utility>

namespace quorvel {

template <typename T> class ComPtr {
public:
    ComPtr() = default;
    explicit ComPtr(T* adopted) : p_(adopted) {}
    ~ComPtr() { reset(); }
    ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    ComPtr& operator=(ComPtr&& other) noexcept
    {
        if (this != &other) {
            reset();
            p_ = std::exchange(other.p_, nullptr);
        }
        return *this;
    }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;

    T* get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    // For a call that hands out a new reference: whatever was held is released first.
    T** put()
    {
        reset();
        return &p_;
    }
    void reset()
    {
        if (T* p = std::exchange(p_, nullptr))
            p->Release();
    }

private:
    T* p_ = nullptr;
};

class Bstr {
public:
    Bstr() = default;
    ~Bstr() { ::SysFreeString(s_); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;

    BSTR get() const { return s_; }
    UINT length() const { return s_ ? ::SysStringLen(s_) : 0; }
    BSTR* put()
    {
        ::SysFreeString(std::exchange(s_, nullptr));
        return &s_;
    }

private:
    BSTR s_ = nullptr;
};

// Also for arrays of VARIANTs: each element is one of these, as the layout is VARIANT's own.
class Variant {
public:
    Variant() { ::VariantInit(&v_); }
    explicit Variant(LONG i)
    {
        ::VariantInit(&v_);
        v_.vt = VT_I4;
        v_.lVal = i;
    }
    ~Variant() { ::VariantClear(&v_); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;

    const VARIANT& get() const { return v_; }
    VARIANT* put()
    {
        ::VariantClear(&v_);
        return &v_;
    }

private:
    VARIANT v_;
};
static_assert(sizeof(Variant) == sizeof(VARIANT));

} // namespace quorvel
