#pragma once

#include <string>
#include <utility>

namespace kestrel {

// Runs `work` and turns a failure of the server into ArchiveError saying, in Russian,
// what could not be done (`action`: "сохранить считывания") and why: no right to it,
// the connection lost, or the server's own reason.
template <class Work>
auto onServer(const std::string& action, Work&& work) -> decltype(work());

// A text on one line of well-formed UTF-8 without control characters: libpq's messages
// for ours, and our texts for the server, which takes nothing else (a file name may be anything).
std::string serverText(std::string text);

// The message for a failure of the server while trying `action`; rethrows what is not one.
[[noreturn]] void throwServerFailure(const std::string& action);

template <class Work>
auto onServer(const std::string& action, Work&& work) -> decltype(work())
{
    try {
        return std::forward<Work>(work)();
    } catch (...) {
        throwServerFailure(action);
    }
}

} // namespace kestrel
