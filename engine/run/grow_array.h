#pragma once

#include <algorithm>
#include <cstring>
#include <new>

// A growable array that owns its storage. Storage grows by exactly growStep (10) elements when
// full, never geometrically, and a copy is sized to its count rounded up to a multiple of 10, so
// the capacity is always a multiple of 10. Element access is unchecked.
template <typename T>
class GrowArray {
  public:
    T* data = nullptr;
    int growStep = 10;
    int count = 0;
    int capacity = 0;

    GrowArray() = default;
    GrowArray(const GrowArray& other) : count(other.count) {
        if (count > 0) {
            data = new T[roundedCapacity(count)];
            capacity = roundedCapacity(count);
            std::copy(other.data, other.data + count, data);
        }
    }
    GrowArray& operator=(const GrowArray& other) {
        if (this != &other) {
            GrowArray copy(other);
            swap(copy);
        }
        return *this;
    }
    ~GrowArray() { removeAll(); }

    void add(const T& value) {
        if (count == capacity) reallocate(capacity + growStep);
        data[count++] = value;
    }

    // Makes a new (empty) array hold n elements, all zero.
    void setSize(int n) {
        if (n > 0) setCapacity(roundedCapacity(n));
        count = n;
        if (capacity > 0) std::fill(data, data + capacity, T{});
    }

    // Reallocates to exactly c elements, keeping those in use. Callers never pass c < count.
    void setCapacity(int c) {
        if (c != capacity) reallocate(c);
    }

    void removeAll() {
        delete[] data;
        data = nullptr;
        count = 0;
        capacity = 0;
    }

    T& operator[](int i) { return data[i]; }
    const T& operator[](int i) const { return data[i]; }
    const T* begin() const { return data; }
    const T* end() const { return data + count; }

    // The capacity for n elements: n rounded up to a multiple of 10 (0 stays 0).
    static int roundedCapacity(int n) { return n / 10 * 10 + (n % 10 != 0 ? 10 : 0); }

  private:
    void reallocate(int newCapacity) {
        T* fresh = newCapacity > 0 ? new T[newCapacity] : nullptr;
        std::copy(data, data + count, fresh);
        delete[] data;
        data = fresh;
        capacity = newCapacity;
    }
    void swap(GrowArray& other) {
        std::swap(data, other.data);
        std::swap(count, other.count);
        std::swap(capacity, other.capacity);
    }
};
