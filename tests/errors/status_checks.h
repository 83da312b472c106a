// Test helpers for Status: a resize function that can be told to fail and that counts
// its live buffers, a layout check, and readers of payload members.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "errors/status.h"
#include "errors/status_payload.h"
#include "json/json_lookup.h"
#include "json/json_scan.h"

namespace status_checks {

struct ResizeControl {
    int growthsLeft = -1;  // growths still allowed; -1 for no limit
    int liveBuffers = 0;   // buffers allocated through trackedResize and not yet freed
};
inline ResizeControl resizeControl;

// defaultResize, but refuses to grow once resizeControl.growthsLeft reaches 0.
inline bool trackedResize(Status* status, uint32_t n) {
    const bool hadBuffer = status->text != nullptr;
    if (n > status->capacity) {
        if (resizeControl.growthsLeft == 0) return false;
        if (resizeControl.growthsLeft > 0) --resizeControl.growthsLeft;
    }
    const bool grown = defaultResize(status, n);
    resizeControl.liveBuffers += (status->text != nullptr ? 1 : 0) - (hadBuffer ? 1 : 0);
    return grown;
}

// Fixture: every test starts with unlimited growth and must end with no live buffer.
class TrackedResizeTest : public ::testing::Test {
protected:
    void SetUp() override { resizeControl = ResizeControl{}; }
    void TearDown() override { EXPECT_EQ(resizeControl.liveBuffers, 0) << "a buffer leaked"; }
};

// Null text with capacity 0, or one object in a buffer laid out as text, NUL, zero
// padding and the sentinel 'J' in the last byte.
inline ::testing::AssertionResult wellFormed(const Status& status) {
    if (status.text == nullptr) {
        if (status.capacity == 0) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "null text, capacity " << status.capacity;
    }
    if (status.capacity < 4) return ::testing::AssertionFailure() << "capacity below 4";
    const size_t length = strnlen(status.text, status.capacity);
    if (length + 2 > status.capacity) return ::testing::AssertionFailure() << "no terminator";
    if (status.text[status.capacity - 1] != 'J') return ::testing::AssertionFailure() << "no J";
    for (size_t i = length + 1; i + 1 < status.capacity; ++i) {
        if (status.text[i] != '\0') return ::testing::AssertionFailure() << "padding at " << i;
    }
    if (status.text[0] != '{' || json_find_close(status.text) != status.text + length - 1) {
        return ::testing::AssertionFailure() << "not one object: " << status.text;
    }
    return ::testing::AssertionSuccess();
}

// The decoded names of the root object's members, in order.
inline std::vector<std::string> memberNames(const char* text) {
    std::vector<std::string> names;
    if (text == nullptr) return names;
    JsonRawText name{};
    JsonValueInfo error{};
    for (const char* p = text + 1; (p = json_scan_member(p, &name, &error)) != nullptr;) {
        std::string decoded(name.length + 1, '\0');
        json_unescape(name.start, name.length, &decoded[0]);
        names.push_back(decoded.c_str());
    }
    return names;
}

// The decoded string member `name`, or "<missing>".
inline std::string stringMember(const char* text, const char* name) {
    std::string decoded(payloadString(text, nullptr, name, nullptr, 0), '\0');
    if (decoded.empty()) return "<missing>";
    payloadString(text, nullptr, name, &decoded[0], decoded.size());
    decoded.pop_back();
    return decoded;
}

}  // namespace status_checks
