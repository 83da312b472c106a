// Reading members back from a status's debug text: escapes are decoded, and every
// failure leaves the output as it was.
#include "vosysq/debug_text.h"

#include <gtest/gtest.h>

#include <string>

#include "errors/error_constants.h"

namespace {

const char kText[] =
    R"({"file":"x","internal_error":{"api":"errno","code":-21,"string":"a \"b\"\\c\u00e9"},)"
    R"("vosysq_debug":{"desc":"nul \u0000 inside"}})";

struct StringCase {
    const char* object;
    const char* name;
    const char* expected;  // null: not found, `out` untouched
};

TEST(DebugText, DecodesStringMembersOrLeavesTheOutputAlone) {
    const StringCase cases[] = {
        {"internal_error", "string", "a \"b\"\\c\xc3\xa9"},
        {"internal_error", "code", nullptr},     // not a string
        {"internal_error", "missing", nullptr},  // no such member
        {"file", "string", nullptr},             // not an object
        {"vosysq_debug", "desc", nullptr},       // does not decode
        {nullptr, "string", nullptr},            // no object name
        {"internal_error", nullptr, nullptr},    // no member name
    };
    for (const StringCase& c : cases) {
        vohtl::OwnedText out;
        Status status;
        out.assign("untouched", &status);
        const bool found = vosysq::debug_text_string(kText, c.object, c.name, out, &status);
        const std::string what =
            std::string(c.object ? c.object : "-") + "." + (c.name ? c.name : "-");
        EXPECT_EQ(found, c.expected != nullptr) << what;
        EXPECT_STREQ(out.c_str(), c.expected ? c.expected : "untouched") << what;
        EXPECT_EQ(status.code, 0) << what;
    }
    vohtl::OwnedText out;
    Status failed;
    failed.setCode(voapalerr_osFault);
    EXPECT_FALSE(vosysq::debug_text_string(kText, "internal_error", "string", out, &failed));
    Status fresh;
    EXPECT_FALSE(vosysq::debug_text_string(nullptr, "internal_error", "string", out, &fresh));
    EXPECT_EQ(out.data(), nullptr);
}

TEST(DebugText, ReadsIntegerMembersOrTheFallback) {
    EXPECT_EQ(vosysq::debug_text_int(kText, "internal_error", "code", 7), -21);
    EXPECT_EQ(vosysq::debug_text_int(kText, "internal_error", "api", 7), 7);
    EXPECT_EQ(vosysq::debug_text_int(kText, "vosysq_debug", "code", 7), 7);
    EXPECT_EQ(vosysq::debug_text_int(nullptr, "internal_error", "code", 7), 7);
}

}  // namespace
