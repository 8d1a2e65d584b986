#pragma once
// Scoped owners of Win32 handles, and ScopeExit. Each frees what it holds
// exactly once, when it goes out of scope, unless it was released first.
// Move-only: a moved-from owner holds nothing.
#include <windows.h>

#include <utility>

// Traits give the handle Type, its Invalid() value and how to Close() it.
template <class Traits>
class TUniqueHandle {
 public:
  using Type = typename Traits::Type;

  TUniqueHandle() noexcept = default;
  explicit TUniqueHandle(Type Handle) noexcept : Handle(Handle) {}
  TUniqueHandle(TUniqueHandle&& Other) noexcept : Handle(Other.release()) {}
  TUniqueHandle& operator=(TUniqueHandle&& Other) noexcept {
    if (this != &Other) reset(Other.release());
    return *this;
  }
  TUniqueHandle(const TUniqueHandle&) = delete;
  TUniqueHandle& operator=(const TUniqueHandle&) = delete;
  ~TUniqueHandle() { reset(); }

  Type get() const noexcept { return Handle; }
  explicit operator bool() const noexcept { return Handle != Traits::Invalid(); }
  // The caller owns the handle from now on.
  [[nodiscard]] Type release() noexcept { return std::exchange(Handle, Traits::Invalid()); }
  void reset(Type NewHandle = Traits::Invalid()) noexcept {
    Type Old = std::exchange(Handle, NewHandle);
    if (Old != Traits::Invalid()) Traits::Close(Old);
  }

 private:
  Type Handle = Traits::Invalid();
};

// Traits of a handle of type T freed by Closer; CreateFile and FindFirstFile
// report failure as INVALID_HANDLE_VALUE, everything else as null.
template <class T, class Closer, bool MinusOneInvalid = false>
struct TScopedTraits {
  using Type = T;
  static Type Invalid() noexcept {
    if constexpr (MinusOneInvalid)
      return INVALID_HANDLE_VALUE;
    else
      return nullptr;
  }
  static void Close(Type H) noexcept { Closer{}(H); }
};

// How each kind of handle is given back.
namespace ScopedClose {
struct Handle {
  void operator()(HANDLE H) const noexcept { CloseHandle(H); }
};
struct Find {
  void operator()(HANDLE H) const noexcept { FindClose(H); }
};
struct Icon {
  void operator()(HICON H) const noexcept { DestroyIcon(H); }
};
struct Module {
  void operator()(HMODULE H) const noexcept { FreeLibrary(H); }
};
// Fonts, brushes, pens, bitmaps: the object must no longer be selected into
// a DC when it goes.
struct GdiObject {
  void operator()(HGDIOBJ H) const noexcept { DeleteObject(H); }
};
}  // namespace ScopedClose

// Events, processes, threads, ports, mutexes.
using TKernelHandle = TUniqueHandle<TScopedTraits<HANDLE, ScopedClose::Handle>>;
using TFileHandle = TUniqueHandle<TScopedTraits<HANDLE, ScopedClose::Handle, true>>;
using TFindHandle = TUniqueHandle<TScopedTraits<HANDLE, ScopedClose::Find, true>>;
using TIconHandle = TUniqueHandle<TScopedTraits<HICON, ScopedClose::Icon>>;
using TModuleHandle = TUniqueHandle<TScopedTraits<HMODULE, ScopedClose::Module>>;
using TFontHandle = TUniqueHandle<TScopedTraits<HFONT, ScopedClose::GdiObject>>;

// A window's DC from GetDC, given back with ReleaseDC to the same window.
// Neither copied nor moved: it lives in one scope.
class TWindowDC {
 public:
  // Null Window: the screen's DC.
  explicit TWindowDC(HWND Window) noexcept : Window(Window), DC(GetDC(Window)) {}
  TWindowDC(const TWindowDC&) = delete;
  TWindowDC& operator=(const TWindowDC&) = delete;
  ~TWindowDC() {
    if (DC) ReleaseDC(Window, DC);
  }

  HDC get() const noexcept { return DC; }

 private:
  const HWND Window;
  const HDC DC;
};

// Runs a callable when the scope ends, on every way out, unless released.
// Usage: ScopeExit Cleanup([&] { ... });
template <class F>
class ScopeExit {
 public:
  explicit ScopeExit(F Fn) : Fn(std::move(Fn)) {}
  ScopeExit(ScopeExit&& Other) : Fn(std::move(Other.Fn)), Armed(std::exchange(Other.Armed, false)) {}
  ScopeExit(const ScopeExit&) = delete;
  ScopeExit& operator=(const ScopeExit&) = delete;
  ScopeExit& operator=(ScopeExit&&) = delete;
  ~ScopeExit() {
    if (Armed) Fn();
  }

  // The callable will not run.
  void release() noexcept { Armed = false; }

 private:
  F Fn;
  bool Armed = true;
};

template <class F>
ScopeExit(F) -> ScopeExit<F>;
