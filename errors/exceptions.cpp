// The boundary where a failed Status becomes a voerr::Exception.
#include "errors/exceptions.h"

namespace voerr {

ExceptionBase::ExceptionBase(Status& from) noexcept {
    status_.mergeMove(from);
}

ExceptionBase::ExceptionBase(const ExceptionBase& other) noexcept {
    status_.mergeMove(other.status_);
}

ExceptionBase::~ExceptionBase() = default;  // status_ releases its buffer

const char* ExceptionBase::what() const noexcept {
    return status_.text != nullptr ? status_.text : "";
}

// The virtual base is built by the most derived class, so both constructors name it.
Exception::Exception(Status& from) noexcept : ExceptionBase(from), std::exception() {}

Exception::Exception(const Exception& other) noexcept
    : ExceptionBase(other), std::exception(other) {}

Exception::~Exception() = default;

const char* Exception::what() const noexcept {
    return ExceptionBase::what();
}

}  // namespace voerr

ThrowingStatus::~ThrowingStatus() noexcept(false) {
    // Never a second exception while one unwinds through this scope: the error is
    // dropped then, like a warning.
    if (code >= 0 || std::uncaught_exceptions() > 0) {
        release();
        return;
    }
    // The payload moves into `failure`, and from there into the thrown copy. Should
    // anything escape on the way, the destructors of `failure` and of this Status part
    // release whatever buffer each still holds.
    voerr::Exception failure(*this);
    throw failure;
}
