#pragma once
// RAII owners for Windows handles and COM references. Every handle the
// launcher opens is held by one of these, so it is released on every path,
// errors included.

#include <windows.h>
#include <objbase.h>
#include <oleauto.h>
#include <utility>

// A handle with one owner. Traits supply invalid() and close(h).
template <typename Traits>
class UniqueHandle {
public:
    using handle_type = typename Traits::handle_type;

    UniqueHandle() noexcept : h_(Traits::invalid()) {}
    explicit UniqueHandle(handle_type h) noexcept : h_(h) {}
    UniqueHandle(UniqueHandle&& other) noexcept : h_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    ~UniqueHandle() { reset(); }

    handle_type get() const noexcept { return h_; }
    explicit operator bool() const noexcept { return h_ != Traits::invalid(); }
    handle_type release() noexcept { return std::exchange(h_, Traits::invalid()); }
    void reset(handle_type h = Traits::invalid()) noexcept {
        handle_type old = std::exchange(h_, h);
        if (old != Traits::invalid()) Traits::close(old);
    }
    // For out-parameters: releases what is held and hands out the slot.
    handle_type* put() noexcept {
        reset();
        return &h_;
    }

private:
    handle_type h_;
};

struct KernelHandleTraits {  // process, thread, event handles: NULL when absent
    using handle_type = HANDLE;
    static handle_type invalid() noexcept { return nullptr; }
    static void close(handle_type h) noexcept { ::CloseHandle(h); }
};
struct FileHandleTraits {  // CreateFile: INVALID_HANDLE_VALUE when absent
    using handle_type = HANDLE;
    static handle_type invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void close(handle_type h) noexcept { ::CloseHandle(h); }
};
struct FindHandleTraits {
    using handle_type = HANDLE;
    static handle_type invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void close(handle_type h) noexcept { ::FindClose(h); }
};
struct RegKeyTraits {
    using handle_type = HKEY;
    static handle_type invalid() noexcept { return nullptr; }
    static void close(handle_type h) noexcept { ::RegCloseKey(h); }
};
struct ServiceHandleTraits {
    using handle_type = SC_HANDLE;
    static handle_type invalid() noexcept { return nullptr; }
    static void close(handle_type h) noexcept { ::CloseServiceHandle(h); }
};
struct GdiObjectTraits {
    using handle_type = HGDIOBJ;
    static handle_type invalid() noexcept { return nullptr; }
    static void close(handle_type h) noexcept { ::DeleteObject(h); }
};
struct MemoryDcTraits {  // CreateCompatibleDC
    using handle_type = HDC;
    static handle_type invalid() noexcept { return nullptr; }
    static void close(handle_type h) noexcept { ::DeleteDC(h); }
};
struct WindowTraits {
    using handle_type = HWND;
    static handle_type invalid() noexcept { return nullptr; }
    static void close(handle_type h) noexcept { ::DestroyWindow(h); }
};

using KernelHandle = UniqueHandle<KernelHandleTraits>;
using FileHandle = UniqueHandle<FileHandleTraits>;
using FindHandle = UniqueHandle<FindHandleTraits>;
using RegKey = UniqueHandle<RegKeyTraits>;
using ServiceHandle = UniqueHandle<ServiceHandleTraits>;
using GdiObject = UniqueHandle<GdiObjectTraits>;
using MemoryDc = UniqueHandle<MemoryDcTraits>;
using WindowHandle = UniqueHandle<WindowTraits>;

// GetDC/ReleaseDC pair for a window.
class WindowDc {
public:
    explicit WindowDc(HWND wnd) noexcept : wnd_(wnd), dc_(::GetDC(wnd)) {}
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    ~WindowDc() {
        if (dc_) ::ReleaseDC(wnd_, dc_);
    }
    HDC get() const noexcept { return dc_; }

private:
    HWND wnd_;
    HDC dc_;
};

// Selects an object into a DC and puts the previous one back on scope exit.
class SelectObjectScope {
public:
    SelectObjectScope(HDC dc, HGDIOBJ obj) noexcept : dc_(dc), old_(::SelectObject(dc, obj)) {}
    SelectObjectScope(const SelectObjectScope&) = delete;
    SelectObjectScope& operator=(const SelectObjectScope&) = delete;
    ~SelectObjectScope() {
        if (old_) ::SelectObject(dc_, old_);
    }

private:
    HDC dc_;
    HGDIOBJ old_;
};

// A counted COM reference (AddRef on copy, Release on destruction).
template <typename T>
class ComRef {
public:
    ComRef() noexcept = default;
    ComRef(std::nullptr_t) noexcept {}
    // Takes over a reference that the caller already owns.
    static ComRef attach(T* p) noexcept {
        ComRef r;
        r.p_ = p;
        return r;
    }
    ComRef(const ComRef& other) noexcept : p_(other.p_) {
        if (p_) p_->AddRef();
    }
    ComRef(ComRef&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    ComRef& operator=(ComRef other) noexcept {
        std::swap(p_, other.p_);
        return *this;
    }
    ~ComRef() { reset(); }

    T* get() const noexcept { return p_; }
    T* operator->() const noexcept { return p_; }
    explicit operator bool() const noexcept { return p_ != nullptr; }
    void reset() noexcept {
        if (T* old = std::exchange(p_, nullptr)) old->Release();
    }
    // For out-parameters of COM calls: releases what is held first.
    T** put() noexcept {
        reset();
        return &p_;
    }
    void** put_void() noexcept { return reinterpret_cast<void**>(put()); }

private:
    T* p_ = nullptr;
};

// CoInitialize / CoUninitialize for one thread.
class ComApartment {
public:
    ComApartment() noexcept : hr_(::CoInitialize(nullptr)) {}
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    ~ComApartment() {
        if (SUCCEEDED(hr_)) ::CoUninitialize();
    }
    HRESULT result() const noexcept { return hr_; }

private:
    HRESULT hr_;
};

// A VARIANT with one owner: cleared (and what it holds released) on destruction.
class Variant {
public:
    Variant() noexcept { ::VariantInit(&v_); }
    Variant(Variant&& other) noexcept : v_(other.v_) { ::VariantInit(&other.v_); }
    Variant& operator=(Variant&& other) noexcept {
        if (this != &other) {
            ::VariantClear(&v_);
            v_ = other.v_;
            ::VariantInit(&other.v_);
        }
        return *this;
    }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    ~Variant() { ::VariantClear(&v_); }

    const VARIANT& get() const noexcept { return v_; }
    VARTYPE type() const noexcept { return v_.vt; }
    // For filling in: clears what is held first.
    VARIANT* put() noexcept {
        ::VariantClear(&v_);
        return &v_;
    }

private:
    VARIANT v_;
};

// SafeArrayAccessData / SafeArrayUnaccessData for one safe array.
class SafeArrayAccess {
public:
    explicit SafeArrayAccess(SAFEARRAY* array) noexcept : array_(array) {
        if (FAILED(::SafeArrayAccessData(array_, &data_))) array_ = nullptr, data_ = nullptr;
    }
    SafeArrayAccess(const SafeArrayAccess&) = delete;
    SafeArrayAccess& operator=(const SafeArrayAccess&) = delete;
    ~SafeArrayAccess() {
        if (array_) ::SafeArrayUnaccessData(array_);
    }
    // The array's elements; null when the array could not be locked.
    void* data() const noexcept { return data_; }
    explicit operator bool() const noexcept { return array_ != nullptr; }

private:
    SAFEARRAY* array_;
    void* data_ = nullptr;
};
