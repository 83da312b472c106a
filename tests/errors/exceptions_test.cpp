// ThrowingStatus and the exceptions that carry a failed Status.
#include "errors/exceptions.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "errors/error_constants.h"
#include "tests/errors/status_checks.h"

using namespace status_checks;

namespace {

const SourceLocation kOpenSite{"vosysq/stdpath_util.cpp", 224, voerr_component,
                               "voapalerr_resourceNotFound"};

// Ends the scope of a ThrowingStatus holding `code`. With a payload (stored in *payload
// first) it uses trackedResize, so the exception must copy the text and the status's
// own buffer must still be freed; without, the code is set alone under defaultResize.
void endScope(int32_t code, bool withPayload, std::string* payload = nullptr) {
    ThrowingStatus status;
    if (withPayload) {
        status.resize = trackedResize;
        status.setError(code, kOpenSite);
        if (payload != nullptr) *payload = status.text;
    } else {
        status.setCode(code);
    }
}

TEST_F(TrackedResizeTest, ErrorAtEndOfScopeThrowsThePayload) {
    std::string payload;
    try {
        endScope(voapalerr_resourceNotFound, true, &payload);
        FAIL() << "nothing thrown";
    } catch (const voerr::Exception& e) {
        EXPECT_EQ(e.code(), voapalerr_resourceNotFound);
        EXPECT_EQ(e.what(), payload);
    }
    EXPECT_EQ(resizeControl.liveBuffers, 0) << "the status's own buffer is freed";
    try {
        endScope(voapalerr_resourceNotFound, true);
        FAIL() << "nothing thrown";
    } catch (const std::exception& e) {
        EXPECT_EQ(e.what(), payload) << "the same text through std::exception";
    }
    try {
        endScope(voapalerr_resourceNotFound, true);
        FAIL() << "nothing thrown";
    } catch (const voerr::ExceptionBase& e) {
        EXPECT_EQ(e.what(), payload);
    }
}

TEST_F(TrackedResizeTest, ErrorWithoutPayloadThrowsAnEmptyText) {
    try {
        endScope(-7, false);
        FAIL() << "nothing thrown";
    } catch (const std::exception& e) {
        EXPECT_STREQ(e.what(), "");
    }
}

TEST_F(TrackedResizeTest, SuccessAndWarningsEndQuietlyAndFreeTheBuffer) {
    EXPECT_NO_THROW(endScope(0, false));
    EXPECT_NO_THROW(endScope(9, true));
    EXPECT_EQ(resizeControl.liveBuffers, 0);
}

TEST_F(TrackedResizeTest, ErrorWhileUnwindingIsDroppedAndFreed) {
    try {
        ThrowingStatus status;
        status.resize = trackedResize;
        status.setError(voapalerr_resourceNotFound, kOpenSite);
        throw std::runtime_error("first");
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "first") << "the first exception goes on, no terminate";
    }
    EXPECT_EQ(resizeControl.liveBuffers, 0);
}

TEST(VoerrException, CopyTakesThePayloadOverAndTheSourceKeepsItsCode) {
    Status status;
    status.setError(voapalerr_osFault, kOpenSite);
    const std::string payload = status.text;
    voerr::Exception first(status);
    EXPECT_EQ(status.text, nullptr) << "same resize function: the buffer moved";
    EXPECT_EQ(status.code, voapalerr_osFault);
    const voerr::Exception second(first);
    EXPECT_STREQ(first.what(), "");
    EXPECT_EQ(first.code(), voapalerr_osFault);
    EXPECT_EQ(second.what(), payload);
    const std::exception& asStd = second;
    const voerr::ExceptionBase& asBase = second;
    EXPECT_EQ(asStd.what(), asBase.what()) << "one what() overrides both bases";
}

}  // namespace
