// The object of a run that a thread is working on, for the modules that
// reach it from deep inside call chains they do not own (the grammar's
// actions, the generated scanner's rules, the walk's many small steps)
// instead of taking it as a parameter of every function on the way.
//
// A binding lasts for a scope and gives the previous one back at its end, so
// runs may nest; each thread has its own, so two runs on two threads never
// see each other's objects. Nothing is bound outside a run: reaching the
// object then is a fault of the caller.
#pragma once

namespace support {

template <typename T>
class ThreadBinding {
 public:
  explicit ThreadBinding(T& object) : previous_(current_) { current_ = &object; }
  ThreadBinding(const ThreadBinding&) = delete;
  ThreadBinding& operator=(const ThreadBinding&) = delete;
  ~ThreadBinding() { current_ = previous_; }

  /// The object bound to this thread.
  static T& Current() { return *current_; }
  /// The same, or none outside any binding.
  static T* Bound() { return current_; }

 private:
  static inline thread_local constinit T* current_ = nullptr;
  T* previous_;
};

}  // namespace support
