#pragma once
// The desktop backend of this build: SDL's, or on Windows the Windows
// API's. Its program does not need to know which.
#include <memory>
#include <string>

#include "platform/platform.h"

namespace platform {

// A started desktop backend; null (with the reason in `error`) when no
// display can be reached.
std::unique_ptr<Backend> StartDesktopBackend(std::string& error);

}  // namespace platform
