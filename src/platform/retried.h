#pragma once

#include <cerrno>

// Runs a system call again for as long as a signal interrupts it; returns its last result.
template <typename Call> auto retried(Call call)
{
    decltype(call()) result;
    do {
        result = call();
    } while (result < 0 && errno == EINTR);
    return result;
}
