#pragma once
// Element operations of the growable arrays (TIntArray, TStringDynArray and
// lists of object references), changing the caller's array in place.
#include <cstddef>
#include <string>
#include <utility>
#include <vector>

using TIntArray = std::vector<int>;
using TStringDynArray = std::vector<std::string>;

// Zero-based index of the first element equal to Value, or -1.
template <class T>
int ArrayIndexOf(const std::vector<T>& A, const T& Value) {
  for (std::size_t i = 0; i < A.size(); ++i)
    if (A[i] == Value) return static_cast<int>(i);
  return -1;
}

// Removes the element at Index keeping the order; out of range does nothing.
template <class T>
void ArrayDeleteAt(std::vector<T>& A, int Index) {
  if (Index >= 0 && static_cast<std::size_t>(Index) < A.size()) A.erase(A.begin() + Index);
}

// Removes the first element equal to Value; its former index, or -1.
template <class T>
int ArrayRemove(std::vector<T>& A, const T& Value) {
  int Index = ArrayIndexOf(A, Value);
  ArrayDeleteAt(A, Index);
  return Index;
}

// Stores Value last; its index.
template <class T>
int ArrayAppend(std::vector<T>& A, T Value) {
  A.push_back(std::move(Value));
  return static_cast<int>(A.size()) - 1;
}

// Copies Source up to its NUL or MaxCount characters, then always writes a
// NUL; Dest must hold MaxCount + 1 characters. Returns Dest.
wchar_t* WideStrLCopy(wchar_t* Dest, const wchar_t* Source, std::size_t MaxCount);
