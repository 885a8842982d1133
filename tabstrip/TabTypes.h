#pragma once
// Window handles as the tab model sees them: plain numbers, so the model builds without the
// platform headers.

#include <cstdint>

namespace corvane {

using WindowHandle = std::uintptr_t;

}  // namespace corvane
