#include "support/large_stack.h"

#include "support/messages.h"
#include "support/translate.h"

#include <csignal>
#include <pthread.h>

namespace support {
namespace {

// The crash handler needs a stack of its own on this thread too, so that an
// overflow is reported instead of killing the process silently.
alignas(16) char workerSignalStack[64 * 1024];

// The thread's own signal stack (a sanitizer's runtime maps one and unmaps
// it when the thread ends) is put back before the thread returns.
void* RunWork(void* argument) {
  stack_t stack{};
  stack.ss_sp = workerSignalStack;
  stack.ss_size = sizeof workerSignalStack;
  stack_t previous{};
  sigaltstack(&stack, &previous);
  (*static_cast<const std::function<void()>*>(argument))();
  sigaltstack(&previous, nullptr);
  return nullptr;
}

}  // namespace

void RunOnLargeStack(const std::function<void()>& work, std::size_t stackBytes) {
  pthread_attr_t attributes;
  pthread_attr_init(&attributes);
  pthread_attr_setstacksize(&attributes, stackBytes);
  pthread_t thread;
  const int failed = pthread_create(&thread, &attributes, RunWork, const_cast<std::function<void()>*>(&work));
  pthread_attr_destroy(&attributes);
  if (failed) DisplayFatalError(Translate("Fatal Error", "No memory left"));
  pthread_join(thread, nullptr);
}

}  // namespace support
