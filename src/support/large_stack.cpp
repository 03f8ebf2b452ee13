#include "support/large_stack.h"

#include "support/messages.h"
#include "support/thread_binding.h"
#include "support/translate.h"

#include <csignal>
#include <exception>
#include <pthread.h>

namespace support {
namespace {

// The crash handler needs a stack of its own on this thread too, so that an
// overflow is reported instead of killing the process silently; one per
// thread, as runs on two threads each have a worker.
alignas(16) thread_local char workerSignalStack[64 * 1024];

struct Work {
  const std::function<void()>& run;
  const CarriedBindings& bindings;
  std::exception_ptr thrown;
};

// The work runs with the caller's bindings in force. The thread's own
// signal stack (a sanitizer's runtime maps one and unmaps it when the thread
// ends) is put back before the thread returns. An exception (a run that ends
// by unwinding) cannot leave a thread: it is carried over to the caller.
void* RunWork(void* argument) {
  stack_t stack{};
  stack.ss_sp = workerSignalStack;
  stack.ss_size = sizeof workerSignalStack;
  stack_t previous{};
  sigaltstack(&stack, &previous);
  Work& work = *static_cast<Work*>(argument);
  try {
    const CarriedBindings::InForce bindings(work.bindings);
    work.run();
  } catch (...) {
    work.thrown = std::current_exception();
  }
  sigaltstack(&previous, nullptr);
  return nullptr;
}

}  // namespace

void RunOnLargeStack(const std::function<void()>& work, std::size_t stackBytes) {
  pthread_attr_t attributes;
  pthread_attr_init(&attributes);
  pthread_attr_setstacksize(&attributes, stackBytes);
  pthread_t thread;
  const CarriedBindings bindings;
  Work carried{work, bindings, nullptr};
  const int failed = pthread_create(&thread, &attributes, RunWork, &carried);
  pthread_attr_destroy(&attributes);
  if (failed) DisplayFatalError(Translate("Fatal Error", "No memory left"));
  pthread_join(thread, nullptr);
  if (carried.thrown) std::rethrow_exception(carried.thrown);
}

}  // namespace support
