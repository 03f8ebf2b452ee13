// The object of a run that a thread is working on, for the modules that
// reach it from deep inside call chains they do not own (the grammar's
// actions, the generated scanner's rules, the walk's many small steps)
// instead of taking it as a parameter of every function on the way.
//
// A binding lasts for a scope and gives the previous one back at its end, so
// runs may nest; each thread has its own, so two runs on two threads never
// see each other's objects. Nothing is bound outside a run: reaching the
// object then is a fault of the caller. A thread that hands part of its run
// to another (a worker with a larger stack) carries all its bindings over
// with CarriedBindings, so that no binding can be forgotten on the way.
#pragma once

#include <vector>

namespace support {

namespace binding_detail {

// One binding in force on a thread, linked to the one made before it.
struct Record {
  void* object;
  void* (*exchange)(void* object);  // binds the object to this thread for its type; returns the previous one
  const Record* outer;
};

inline thread_local constinit const Record* innermost = nullptr;

}  // namespace binding_detail

template <typename T>
class ThreadBinding {
 public:
  explicit ThreadBinding(T& object) : previous_(current_), record_{&object, &Exchange, binding_detail::innermost} {
    current_ = &object;
    binding_detail::innermost = &record_;
  }
  ThreadBinding(const ThreadBinding&) = delete;
  ThreadBinding& operator=(const ThreadBinding&) = delete;
  ~ThreadBinding() {
    current_ = previous_;
    binding_detail::innermost = record_.outer;
  }

  /// The object bound to this thread.
  static T& Current() { return *current_; }
  /// The same, or none outside any binding.
  static T* Bound() { return current_; }

 private:
  static void* Exchange(void* object) {
    T* const previous = current_;
    current_ = static_cast<T*>(object);
    return previous;
  }

  static inline thread_local constinit T* current_ = nullptr;
  T* previous_;
  binding_detail::Record record_;
};

/// Every binding in force on the thread that makes it, outermost first.
class CarriedBindings {
 public:
  CarriedBindings() {
    for (const binding_detail::Record* record = binding_detail::innermost; record; record = record->outer) {
      records_.insert(records_.begin(), *record);
    }
  }

  /// Puts the carried bindings in force on this thread for its scope, as
  /// if they had been made here in the same order.
  class InForce {
   public:
    explicit InForce(const CarriedBindings& carried) : records_(carried.records_), previous_(records_.size()) {
      for (std::size_t i = 0; i < records_.size(); ++i) {
        records_[i].outer = i == 0 ? binding_detail::innermost : &records_[i - 1];
        previous_[i] = records_[i].exchange(records_[i].object);
      }
      if (!records_.empty()) binding_detail::innermost = &records_.back();
    }
    InForce(const InForce&) = delete;
    InForce& operator=(const InForce&) = delete;
    ~InForce() {
      for (std::size_t i = records_.size(); i-- > 0;) records_[i].exchange(previous_[i]);
      if (!records_.empty()) binding_detail::innermost = records_.front().outer;
    }

   private:
    std::vector<binding_detail::Record> records_;
    std::vector<void*> previous_;
  };

 private:
  std::vector<binding_detail::Record> records_;
};

}  // namespace support
