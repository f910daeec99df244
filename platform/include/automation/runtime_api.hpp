// Symbols of the shared component runtime; both deliverables link it, so its
// process-wide state exists once per process.
#pragma once

#define AUTOMATION_RUNTIME_API __attribute__((visibility("default")))
