#pragma once
// The error the speech engine raises. Its message is what the user finally
// sees; errors from ONNX Runtime also carry the runtime's error code.
#include <stdexcept>
#include <string>

namespace orvello {

class EngineError : public std::runtime_error {
public:
    explicit EngineError(const std::string& message, int runtimeCode = 0)
        : std::runtime_error(message), runtimeCode_(runtimeCode) {}

    // ONNX Runtime's OrtErrorCode, or 0 when the error is the engine's own.
    int runtimeCode() const { return runtimeCode_; }

private:
    int runtimeCode_;
};

// The message of the exception being handled, for reporting it where threads and callbacks end;
// call only inside a catch block.
[[nodiscard]] inline std::string CurrentErrorMessage() {
    try {
        throw;
    } catch (const std::exception& error) {
        return error.what();
    } catch (...) {
        return "Unknown error.";
    }
}

}  // namespace orvello
