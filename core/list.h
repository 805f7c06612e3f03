#pragma once
#include <cstddef>
#include <memory>
#include <utility>
#include <vector>

namespace core {

// An ordered list that owns its elements: clearing or destroying it destroys them.
template <class T>
class TList {
 public:
  int Count() const { return static_cast<int>(items_.size()); }
  bool IsEmpty() const { return items_.empty(); }
  T& operator[](int index) { return *items_[static_cast<std::size_t>(index)]; }
  const T& operator[](int index) const { return *items_[static_cast<std::size_t>(index)]; }

  T& Add(std::unique_ptr<T> item) {
    items_.push_back(std::move(item));
    return *items_.back();
  }
  T& Insert(int index, std::unique_ptr<T> item) {
    auto it = items_.insert(items_.begin() + index, std::move(item));
    return **it;
  }
  // Takes the element out of the list without destroying it.
  std::unique_ptr<T> Detach(int index) {
    auto item = std::move(items_[static_cast<std::size_t>(index)]);
    items_.erase(items_.begin() + index);
    return item;
  }
  void Destroy(int index) { Detach(index); }
  void Clear() { items_.clear(); }
  // Index of the element, or -1 when it is not in this list.
  int IndexOf(const T* item) const {
    for (std::size_t i = 0; i < items_.size(); ++i)
      if (items_[i].get() == item) return static_cast<int>(i);
    return -1;
  }
  void Swap(TList& other) noexcept { items_.swap(other.items_); }

  auto begin() { return items_.begin(); }
  auto end() { return items_.end(); }
  auto begin() const { return items_.begin(); }
  auto end() const { return items_.end(); }

 private:
  std::vector<std::unique_ptr<T>> items_;
};

}  // namespace core
