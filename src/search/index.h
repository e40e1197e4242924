#pragma once
// A typed index: a number that says what it counts (a lead to fill, a
// candidate, a method, a row), so that passing a candidate where a lead is
// wanted is a compile error rather than a cast. IndexVec is a table that
// only such an index reads, and IndexSpan a run of stored numbers read back
// as indices. All three cost nothing over the bare numbers they hold.
#include <compare>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace quarnel::search {

template <class Tag, class Rep = std::int32_t>
class Index {
public:
    using rep = Rep;
    constexpr Index() = default;
    constexpr explicit Index(Rep value) : value_(value) {}
    // Built from any other integer, as the tables store it.
    template <class I>
    static constexpr Index from(I value) {
        return Index(static_cast<Rep>(value));
    }

    constexpr Rep value() const { return value_; }
    // The index as a subscript of a plain table.
    constexpr std::size_t at() const { return static_cast<std::size_t>(value_); }

    constexpr Index& operator++() {
        ++value_;
        return *this;
    }
    constexpr Index operator+(int d) const { return Index(static_cast<Rep>(value_ + d)); }
    constexpr int operator-(Index o) const { return static_cast<int>(value_) - static_cast<int>(o.value_); }
    friend constexpr bool operator==(Index, Index) = default;
    friend constexpr auto operator<=>(Index, Index) = default;

private:
    Rep value_{};
};

// A table read only by its own index type. Its size is the number of
// indices it holds, counted from 0.
template <class I, class T>
class IndexVec {
public:
    IndexVec() = default;
    IndexVec(std::size_t n, const T& value) : v_(n, value) {}

    T& operator[](I i) { return v_[i.at()]; }
    const T& operator[](I i) const { return v_[i.at()]; }
    std::size_t size() const { return v_.size(); }
    bool empty() const { return v_.empty(); }
    // The index one past the last.
    I end() const { return I::from(v_.size()); }
    void assign(std::size_t n, const T& value) { v_.assign(n, value); }
    void resize(std::size_t n) { v_.resize(n); }
    void push_back(const T& value) { v_.push_back(value); }
    std::size_t capacity() const { return v_.capacity(); }
    const std::vector<T>& raw() const { return v_; }
    std::vector<T>& raw() { return v_; }
    friend bool operator==(const IndexVec&, const IndexVec&) = default;

private:
    std::vector<T> v_;
};

// Stored numbers (as a table keeps them, in the narrowest type that holds
// them) read as indices.
template <class I, class Stored>
class IndexSpan {
public:
    class iterator {
    public:
        constexpr explicit iterator(const Stored* p) : p_(p) {}
        constexpr I operator*() const { return I::from(*p_); }
        constexpr iterator& operator++() {
            ++p_;
            return *this;
        }
        friend constexpr bool operator==(iterator, iterator) = default;

    private:
        const Stored* p_;
    };
    constexpr IndexSpan(const Stored* data, std::size_t count) : data_(data), count_(count) {}
    constexpr I operator[](std::size_t k) const { return I::from(data_[k]); }
    constexpr std::size_t size() const { return count_; }
    constexpr iterator begin() const { return iterator(data_); }
    constexpr iterator end() const { return iterator(data_ + count_); }

private:
    const Stored* data_;
    std::size_t count_;
};

}  // namespace quarnel::search
