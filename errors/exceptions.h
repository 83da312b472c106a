// The one place where status passing becomes exceptions. Library code below the
// application never throws; a getter that ends with a failed ThrowingStatus hands the
// failure to its exception-using caller as a voerr::Exception whose what() is the
// status's JSON debug text.
#pragma once

#include <exception>

#include "errors/status.h"

// A Status whose end of scope throws: when its code is negative and no exception is
// unwinding, it throws voerr::Exception carrying its code and payload; otherwise it
// releases its buffer (warnings are dropped).
struct ThrowingStatus : Status {
    ThrowingStatus() noexcept = default;
    ~ThrowingStatus() noexcept(false);
};

namespace voerr {

// Holds the Status of a failure. Copies take the payload over (the source keeps its
// code and loses its buffer), which is how a thrown exception carries it.
class ExceptionBase {
public:
    // Starts from an empty Status and takes `from` by mergeMove: a non-zero code and its
    // text, whose buffer moves over when both use the same resize function (`from` then
    // keeps its code and has no buffer). A zero code leaves both untouched.
    explicit ExceptionBase(Status& from) noexcept;
    ExceptionBase(const ExceptionBase& other) noexcept;
    ExceptionBase& operator=(const ExceptionBase&) = delete;
    virtual ~ExceptionBase();

    // The status's debug text, or "" when it has none.
    virtual const char* what() const noexcept;

    int32_t code() const noexcept { return status_.code; }
    const Status& status() const noexcept { return status_; }

private:
    mutable Status status_;  // mutable: copying moves the payload out of the source
};

class Exception : public virtual ExceptionBase, public virtual std::exception {
public:
    // Takes `from` as ExceptionBase does.
    explicit Exception(Status& from) noexcept;
    Exception(const Exception& other) noexcept;
    Exception& operator=(const Exception&) = delete;
    ~Exception() override;

    const char* what() const noexcept override;
};

}  // namespace voerr
