#pragma once
// Error types shared by both programs.

#include <stdexcept>
#include <string>

namespace korvane {

// An error that ends the current operation; its text is shown to the user
// (korvane) or printed (brelvin).
class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The silent abort signal: thrown after a report with continuation off. It
// unwinds to the place where actions and window events are dispatched and is
// swallowed there without any further message. Deliberately not derived from
// std::exception so that generic handlers do not mistake it for an error.
class SilentAbort {};

}  // namespace korvane
