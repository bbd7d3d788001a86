#pragma once

#include <exception>
#include <functional>

namespace ui {

using TExceptionHandler = std::function<void(const std::exception_ptr& error)>;

// The one point through which every event handler runs: an exception the handler raises ends
// the handler and goes to the installed exception handler, and the program goes on. False when
// the handler raised.
bool Dispatch(const std::function<void()>& handler) noexcept;

// The handler of last resort for what Dispatch catches; the application installs its own.
void SetExceptionHandler(TExceptionHandler handler);

} // namespace ui
