// The result of an internal operation: success, or a failure with a message.
// Errors are values; the C interface turns them into 0 or NULL.
#ifndef LEXIVANE_LEXICORE_STATUS_H_
#define LEXIVANE_LEXICORE_STATUS_H_

#include <string>
#include <utility>

namespace lexicore {

class Status {
  public:
    static Status Ok() { return Status(); }
    static Status Corrupt(std::string message) {
        return Status(Code::kCorrupt, std::move(message));
    }
    static Status IoError(std::string message) {
        return Status(Code::kIoError, std::move(message));
    }
    static Status Invalid(std::string message) {
        return Status(Code::kInvalid, std::move(message));
    }

    bool ok() const { return code_ == Code::kOk; }
    bool IsCorrupt() const { return code_ == Code::kCorrupt; }
    // The failure's description; empty on success.
    const std::string& message() const { return message_; }

  private:
    enum class Code { kOk, kCorrupt, kIoError, kInvalid };
    Status() = default;
    Status(Code code, std::string message) : code_(code), message_(std::move(message)) {}

    Code code_ = Code::kOk;
    std::string message_;
};

}  // namespace lexicore

#endif  // LEXIVANE_LEXICORE_STATUS_H_
