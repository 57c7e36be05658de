#pragma once

#include <stdexcept>

/// Raised inside a solve run by anything that must end it: the word list can't be
/// opened or read, the minimum length is not a number, the letter table overflows.
/// Its text is the cause, in words a user's report can quote ("/home/ann/abc.txt:
/// No such file or directory"). The run catches it (and every other exception) on
/// its one failure path and hands the cause to the window with the message.
class SolveFailure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
