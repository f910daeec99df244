// The utility classes' failure rule: a failure inside a method ends it with
// the method's neutral result instead of reaching the host.
#pragma once

namespace drumel::api {

template <class Result, class Body>
Result or_neutral(Result neutral, Body body) noexcept {
  try {
    return body();
  } catch (...) {
    return neutral;
  }
}

template <class Body>
void ignoring_failures(Body body) noexcept {
  try {
    body();
  } catch (...) {
    // Failures of these calls are not reported to the host.
  }
}

}  // namespace drumel::api
