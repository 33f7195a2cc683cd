#pragma once
// Runs Linux programs (xdotool, the microphone feeder) from a test program
// running under Wine. Wine starts a Unix executable through CreateProcessW,
// but its process handle cannot be waited on, so the command writes its exit
// status into a marker file that we poll.
#include <chrono>
#include <string>

namespace orvello::test {

// Runs `/bin/sh -c shellCommand` and waits for it. Returns the exit status,
// or -1 when it could not be started or did not finish within `timeout`.
[[nodiscard]] int RunUnixCommand(const std::string& shellCommand,
                                 std::chrono::milliseconds timeout = std::chrono::seconds(20));

// Starts `/bin/sh -c shellCommand` without waiting for it.
[[nodiscard]] bool StartUnixCommand(const std::string& shellCommand);

// Quotes text as one /bin/sh word.
std::string ShellQuote(const std::string& text);

// The value of an environment variable that scripts/test exported, or "".
std::string TestEnvironment(const char* name);

}  // namespace orvello::test
