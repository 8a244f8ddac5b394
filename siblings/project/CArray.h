#pragma once
// The framework's growable array, as far as the product's libraries use it.
#include <cassert>
#include <cstddef>
#include <vector>

template <class T, class ARG = const T&>
class CArray {
public:
    int GetSize() const { return int(m_items.size()); }
    int GetCount() const { return GetSize(); }
    bool IsEmpty() const { return m_items.empty(); }
    int Add(ARG item) { m_items.push_back(item); return GetSize() - 1; }  // index of the new item
    const T& GetAt(int i) const { assert(i >= 0 && i < GetSize()); return m_items[std::size_t(i)]; }
    T& GetAt(int i) { assert(i >= 0 && i < GetSize()); return m_items[std::size_t(i)]; }
    void SetAt(int i, ARG item) { GetAt(i) = item; }
    const T& operator[](int i) const { return GetAt(i); }
    T& operator[](int i) { return GetAt(i); }
    void RemoveAt(int i, int count = 1) { m_items.erase(m_items.begin() + i, m_items.begin() + i + count); }
    void RemoveAll() { m_items.clear(); }

    auto begin() { return m_items.begin(); }
    auto end() { return m_items.end(); }
    auto begin() const { return m_items.begin(); }
    auto end() const { return m_items.end(); }

private:
    std::vector<T> m_items;
};
