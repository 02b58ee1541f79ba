// Errors that reach an event handler: shown as a Japanese message box that names the file
// and what went wrong, after which the window carries on.
#pragma once

#include <QString>
#include <exception>
#include <utility>

#include "app/widgets/Dialogs.h"
#include "app/commands/WindowServices.h"

namespace mirolanda::app {

// The Japanese text of an error: the domain's own messages as they are, others explained.
QString ErrorText(const std::exception& error);
QString ErrorText(std::exception_ptr error);

void ShowError(WindowServices& services, std::exception_ptr error);

// Runs an event handler's work; an exception is shown instead of ending the program.
template <typename F>
void Guarded(WindowServices& services, F&& work) {
    try {
        std::forward<F>(work)();
    } catch (...) {
        ShowError(services, std::current_exception());
    }
}

}  // namespace mirolanda::app
