// The result of an internal operation: success, or a failure with a message.
// Errors are values; the C interface turns them into 0 or NULL, and tells why
// a dictionary was refused through errno.
#ifndef LEXIVANE_LEXICORE_STATUS_H_
#define LEXIVANE_LEXICORE_STATUS_H_

#include <string>
#include <utility>

namespace lexicore {

class Status {
  public:
    enum class Code {
        kOk,
        kForeign,   // not a dictionary file of the version this engine reads
        kCorrupt,   // a dictionary file, damaged or changed
        kIoError,   // the system could not read the file
        kNoMemory,  // too little memory to hold what the file needs
        kInvalid,   // a bad argument: no such entry, not a regular file
    };

    static Status Ok() { return Status(); }
    static Status Foreign(std::string message) {
        return Status(Code::kForeign, std::move(message));
    }
    static Status Corrupt(std::string message) {
        return Status(Code::kCorrupt, std::move(message));
    }
    static Status IoError(std::string message) {
        return Status(Code::kIoError, std::move(message));
    }
    static Status NoMemory(std::string message) {
        return Status(Code::kNoMemory, std::move(message));
    }
    static Status Invalid(std::string message) {
        return Status(Code::kInvalid, std::move(message));
    }

    bool ok() const { return code_ == Code::kOk; }
    Code code() const { return code_; }
    // The failure's description; empty on success.
    const std::string& message() const { return message_; }

  private:
    Status() = default;
    Status(Code code, std::string message) : code_(code), message_(std::move(message)) {}

    Code code_ = Code::kOk;
    std::string message_;
};

}  // namespace lexicore

#endif  // LEXIVANE_LEXICORE_STATUS_H_
