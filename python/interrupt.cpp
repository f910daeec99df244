#include "interrupt.hpp"

#include <semaphore.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <mutex>
#include <thread>

#include <pybind11/pybind11.h>

#include "automation/dispatch.hpp"
#include "member_table.hpp"

namespace automation::python {
namespace {

namespace py = pybind11;

struct Watched {
  std::mutex mutex;
  std::weak_ptr<Object> object;  // the call's object, while one runs
  const MemberInfo* stop = nullptr;
  int depth = 0;
  struct sigaction previous {};
  sem_t wake;
  std::atomic<bool> interrupted{false};
};

Watched& watched() {
  static Watched* state = [] {
    auto* made = new Watched;  // lives on: the watcher thread and the signal handler use it to the end
    sem_init(&made->wake, 0, 0);
    return made;
  }();
  return *state;
}

// Only async-signal-safe work here: the interpreter's own handler (so it
// raises KeyboardInterrupt later) and a post to the watcher.
void on_interrupt(int signal_number, siginfo_t* info, void* context) {
  Watched& state = watched();
  state.interrupted.store(true);
  sem_post(&state.wake);
  const struct sigaction& previous = state.previous;
  if ((previous.sa_flags & SA_SIGINFO) != 0 && previous.sa_sigaction != nullptr)
    previous.sa_sigaction(signal_number, info, context);
  else if (previous.sa_handler != SIG_DFL && previous.sa_handler != SIG_IGN && previous.sa_handler != nullptr)
    previous.sa_handler(signal_number);
}

void stop_watched_call() {
  Watched& state = watched();
  std::lock_guard lock(state.mutex);
  ObjectRef object = state.object.lock();
  if (!object) return;
  Variant stop(VariantBool::from(true));
  try {
    invoke(*object, *state.stop, std::span<Variant>(&stop, 1));
  } catch (...) {
    // A refused stop leaves the run to finish; the interrupt still reaches the caller.
  }
}

// Sets the stop property outside the signal handler; the setter may take locks.
void watch_forever() {
  Watched& state = watched();
  for (;;) {
    while (sem_wait(&state.wake) != 0) {
    }
    stop_watched_call();
  }
}

// Once per process: a child made by fork has no threads but the one that forked.
// Called with the GIL, so never twice at once.
void start_watcher_once() {
  static pid_t started_in = 0;
  if (started_in == getpid()) return;
  std::thread(watch_forever).detach();
  started_in = getpid();
}

// Only the main thread receives the interpreter's KeyboardInterrupt.
bool on_main_thread() {
  static const unsigned long main_thread =
      py::module_::import("threading").attr("main_thread")().attr("ident").cast<unsigned long>();
  return PyThread_get_thread_ident() == main_thread;
}

}  // namespace

InterruptWatch::InterruptWatch(const ObjectRef& object, const MemberInfo& member) {
  // Property access is short; only methods run the long searches.
  if (member.kind != MemberKind::kMethod) return;
  const MemberInfo* stop = stop_property(object->class_info());
  if (stop == nullptr) return;
  Watched& state = watched();
  if (state.depth > 0) {
    ++state.depth;
    active_ = true;
    return;
  }
  if (!on_main_thread()) return;
  struct sigaction ours {};
  ours.sa_sigaction = &on_interrupt;
  ours.sa_flags = SA_SIGINFO;
  sigemptyset(&ours.sa_mask);
  struct sigaction previous {};
  if (sigaction(SIGINT, nullptr, &previous) != 0) return;
  // Ignored or left to the default: Ctrl-C is not the interpreter's to handle.
  const bool python_handles_it = (previous.sa_flags & SA_SIGINFO) != 0 ||
                                 (previous.sa_handler != SIG_DFL && previous.sa_handler != SIG_IGN);
  if (!python_handles_it) return;
  start_watcher_once();
  {
    std::lock_guard lock(state.mutex);
    state.object = object;
    state.stop = stop;
    state.previous = previous;
    state.interrupted.store(false);
  }
  sigaction(SIGINT, &ours, nullptr);
  state.depth = 1;
  active_ = true;
}

InterruptWatch::~InterruptWatch() {
  if (!active_) return;
  Watched& state = watched();
  if (--state.depth > 0) return;
  sigaction(SIGINT, &state.previous, nullptr);
  std::lock_guard lock(state.mutex);
  state.object.reset();
}

void InterruptWatch::raise_if_interrupted() {
  if (!active_ || watched().depth > 1) return;
  if (!watched().interrupted.exchange(false)) return;
  // The interpreter's own handler raises it, or another handler the program set.
  if (PyErr_CheckSignals() != 0) throw py::error_already_set();
  // A handler already took the signal's KeyboardInterrupt and swallowed it.
  PyErr_SetNone(PyExc_KeyboardInterrupt);
  throw py::error_already_set();
}

void interrupt_from_handler() {
  Watched& state = watched();
  if (state.depth == 0) return;
  state.interrupted.store(true);
  // Right away, so the run stops at the very next checkpoint.
  stop_watched_call();
}

}  // namespace automation::python
