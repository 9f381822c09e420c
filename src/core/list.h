// The system's one collection: a singly linked list of values with a
// built-in cursor and 1-based positions.  Removed nodes are kept for reuse,
// so a list that has reached its working size no longer allocates.
#pragma once

#include <algorithm>
#include <cstdint>
#include <new>
#include <type_traits>
#include <utility>
#include <vector>

#include "core/fatal.h"

namespace orvane {

template <class T>
class List {
 public:
  struct Node {
    Node* next = nullptr;
    T value{};
  };

  class Iterator {
   public:
    explicit Iterator(Node* node) : node_(node) {}
    T& operator*() const { return node_->value; }
    T* operator->() const { return &node_->value; }
    Iterator& operator++() {
      node_ = node_->next;
      return *this;
    }
    bool operator!=(const Iterator& o) const { return node_ != o.node_; }
    bool operator==(const Iterator& o) const { return node_ == o.node_; }

   private:
    Node* node_;
  };

  class ConstIterator {
   public:
    explicit ConstIterator(const Node* node) : node_(node) {}
    const T& operator*() const { return node_->value; }
    const T* operator->() const { return &node_->value; }
    ConstIterator& operator++() {
      node_ = node_->next;
      return *this;
    }
    bool operator!=(const ConstIterator& o) const { return node_ != o.node_; }

   private:
    const Node* node_;
  };

  List() = default;
  List(const List& other) { CopyFrom(other); }
  List& operator=(const List& other) {
    if (this != &other) {
      Clear();
      CopyFrom(other);
    }
    return *this;
  }
  ~List() {
    Clear();
    ReleasePool();
  }

  // Appends a copy; returns the new number of elements.
  int Add(const T& element) { return Append(element, "# Error: List::Add, Allocate error\n"); }

  // Inserts before position (1..count+1); returns the new count, or -1 for
  // a position out of range.
  int InsertAt(int position, const T& element) {
    if (position < 1 || position > count_ + 1) return -1;
    const char* failure = "# Error: List::InsertAt, Allocate error\n";
    if (position == count_ + 1) return Append(element, failure);
    Node* node = NewNode(element, failure);
    if (position == 1) {
      node->next = begin_;
      begin_ = node;
      if (end_ == nullptr) end_ = node;
    } else {
      Node* before = NodeAt(position - 1);
      node->next = before->next;
      before->next = node;
    }
    return ++count_;
  }

  // The first element; the cursor moves to the second.
  T& First() {
    Require(begin_ != nullptr, "Begin!=NULL", "list", 135);
    current_ = begin_->next;
    return begin_->value;
  }

  // The element at the cursor, moving the cursor on; null at the end.
  T* Next() {
    if (current_ == nullptr) return nullptr;
    T* value = &current_->value;
    current_ = current_->next;
    return value;
  }

  // The element at position n (1..count); the cursor is left on it.
  T& GetAt(int n) {
    Require(n >= 1 && n <= count_, "n>=1 && n<=count", "list", 200);
    current_ = NodeAt(n);
    return current_->value;
  }

  int NumberOfElements() const { return count_; }
  bool Empty() const { return count_ == 0; }

  // Unlinks and recycles the node.
  void Remove(Node* node) {
    Require(node != nullptr, "Temp != NULL", "list", 287);
    Node* before = nullptr;
    for (Node* n = begin_; n != nullptr && n != node; n = n->next) before = n;
    Unlink(before, node);
  }

  // Removes the element at position n; returns the new count or -1.
  int RemoveAt(int n) {
    if (n < 1 || n > count_) return -1;
    Node* before = n == 1 ? nullptr : NodeAt(n - 1);
    Unlink(before, before == nullptr ? begin_ : before->next);
    return count_;
  }

  int RemoveLast() {
    if (count_ == 0) return -1;
    return RemoveAt(count_);
  }

  // Removes every element for which the predicate holds, keeping the order of
  // the others; returns the new count.
  template <class Predicate>
  int RemoveIf(Predicate predicate) {
    Node* before = nullptr;
    Node* node = begin_;
    while (node != nullptr) {
      Node* next = node->next;
      if (predicate(node->value)) {
        Unlink(before, node);
      } else {
        before = node;
      }
      node = next;
    }
    return count_;
  }

  int Clear() {
    while (begin_ != nullptr) Unlink(nullptr, begin_);
    current_ = nullptr;
    return 0;
  }

  // Orders the elements by the key match(element, reference): ascending for
  // order 1 (equal keys keep their order), descending for order -1 (equal
  // keys reversed).
  template <class Match, class Reference>
  int Sort(Match match, const Reference& reference, int order) {
    Require(order == 1 || order == -1, "Order==1 || Order ==-1", "list", 619);
    if (count_ == 0) return 0;
    std::vector<std::pair<double, T>> keyed;
    keyed.reserve(count_);
    for (Node* n = begin_; n != nullptr; n = n->next)
      keyed.emplace_back(match(n->value, reference), n->value);
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    if (order == -1) std::reverse(keyed.begin(), keyed.end());
    Node* node = begin_;
    for (const auto& entry : keyed) {
      node->value = entry.second;
      node = node->next;
    }
    current_ = nullptr;
    return count_;
  }

  // A copy of the element with the smallest key match(element, args...),
  // starting from the bound 1e10 with the first element as candidate.
  template <class Match, class... Args>
  T FindBest(Match match, Args&&... args) {
    T* best = &First();
    double bound = 1e10;
    for (Node* n = begin_; n != nullptr; n = n->next) {
      const double key = match(n->value, args...);
      if (key < bound) {
        bound = key;
        best = &n->value;
      }
    }
    current_ = nullptr;
    return *best;
  }

  Iterator begin() { return Iterator(begin_); }
  Iterator end() { return Iterator(nullptr); }
  ConstIterator begin() const { return ConstIterator(begin_); }
  ConstIterator end() const { return ConstIterator(nullptr); }
  T& Front() {
    Require(begin_ != nullptr, "Begin!=NULL", "list", 135);
    return begin_->value;
  }
  T& Back() {
    Require(end_ != nullptr, "End!=NULL", "list", 135);
    return end_->value;
  }

 private:
  void CopyFrom(const List& other) {
    for (const Node* n = other.begin_; n != nullptr; n = n->next) Add(n->value);
  }

  int Append(const T& element, const char* failure) {
    Node* node = NewNode(element, failure);
    if (end_ == nullptr) {
      begin_ = end_ = node;
    } else {
      end_->next = node;
      end_ = node;
    }
    return ++count_;
  }

  Node* NodeAt(int n) const {
    Node* node = begin_;
    for (int i = 1; i < n; ++i) node = node->next;
    return node;
  }

  Node* NewNode(const T& element, const char* failure) {
    Node* node = pool_;
    if (node != nullptr) {
      pool_ = node->next;
    } else {
      node = new (std::nothrow) Node;
      if (node == nullptr) Fatal(302, failure);
    }
    node->value = element;
    node->next = nullptr;
    return node;
  }

  void Unlink(Node* before, Node* node) {
    if (before == nullptr) {
      begin_ = node->next;
    } else {
      before->next = node->next;
    }
    if (end_ == node) end_ = before;
    if (current_ == node) current_ = node->next;
    // A pooled node keeps no resources of its element; an element that
    // holds none is simply overwritten when the node is used again.
    if constexpr (!std::is_trivially_copyable_v<T>) node->value = T{};
    node->next = pool_;
    pool_ = node;
    --count_;
  }

  void ReleasePool() {
    while (pool_ != nullptr) {
      Node* next = pool_->next;
      delete pool_;
      pool_ = next;
    }
  }

  int32_t count_ = 0;
  Node* begin_ = nullptr;
  Node* end_ = nullptr;
  Node* current_ = nullptr;
  Node* pool_ = nullptr;
};

}  // namespace orvane
