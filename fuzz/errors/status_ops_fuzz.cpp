// Random sequences of Status operations over three statuses, some of them with a
// resize function that refuses growth at random, bridged now and then through a
// PlatformStatus and its allocation, and fed texts from outside that need not be JSON
// (empty, white space only, a lone closer, any bytes), with members inserted anywhere.
// After every step each status must hold either no buffer or an intact buffer layout,
// holding one valid object whenever the status wrote its text itself, and its code must
// be the one the precedence rule predicts. Leaks are left to the sanitizer's leak
// checker.
//
// Speed: under the sanitizers, with the libraries built for coverage and without
// optimisation, the JSON scanner and escaper cost tens of nanoseconds a byte, and most
// operations scan or escape whole texts. An input therefore runs at most kMaxSteps
// steps (libFuzzer grows inputs to 4 KiB, which once meant hundreds of steps each),
// texts are long only now and then, growth stops at kGrowthLimit, and after a step only
// the statuses it touched are checked, an unchanged valid text without a new scan.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#include "errors/error_constants.h"
#include "errors/status.h"
#include "errors/status_payload.h"
#include "json/json_buffer.h"
#include "json/json_escape.h"
#include "json/json_scan.h"
#include "voapal/protons/cppNewDelete/memoryAllocation.h"

namespace {

// Three statuses and sixteen operations make 24 steps plenty; more only cost time.
constexpr int kMaxSteps = 24;

// Explicit growth (inserts at the end, growAt) stops here: three doublings from 512.
constexpr uint32_t kGrowthLimit = 4096;

// Texts that statuses never write themselves but that setText accepts from outside.
const char* const kForeignTexts[] = {"",    " ",    "\t\n\r ", "}",           " }",
                                     "]",   " \t]", "{",       "[",           "{ }",
                                     "[ ]", "x}",   "\"a\"",   "{\"a\":1} }", "}{"};

// flakyResize refuses its k-th growth when bit k % 64 of `refusals` is set.
uint64_t refusals = 0;
unsigned growths = 0;
bool failArrayNew = false;

bool flakyResize(Status* status, uint32_t n) {
    if (n > status->capacity && ((refusals >> (growths++ % 64)) & 1) != 0) return false;
    return defaultResize(status, n);
}

void require(bool holds, const char* what) {
    if (holds) return;
    std::fprintf(stderr, "broken: %s\n", what);
    std::abort();
}

// Only a refused growth may leave a payload incomplete.
void requireOk(const Status& status, bool ok) {
    require(ok || status.resize == flakyResize, "payload incomplete without a refusal");
}

// The model of the precedence rule the statuses must follow.
template <typename Code>
Code expectedAfter(Code current, Code incoming) {
    if (current == 0) return incoming;
    if (current > 0 && incoming < 0) return incoming;
    return current;
}

// `ownText`: the status wrote its text itself, so the text must be one valid object.
// `lastValid` is the last text found valid: the same text again is not scanned again.
void checkLayout(const Status& status, bool ownText, std::string& lastValid) {
    if (status.text == nullptr) {
        require(status.capacity == 0, "null text with a capacity");
        return;
    }
    require(status.capacity >= 4, "capacity below 4");
    const size_t length = strnlen(status.text, status.capacity);
    require(length + 2 <= status.capacity, "no terminator before the sentinel");
    require(status.text[status.capacity - 1] == 'J', "no sentinel");
    // All zero: the first padding byte is, and each byte equals the next one.
    const char* padding = status.text + length + 1;
    const size_t paddingSize = status.capacity - length - 2;
    require(paddingSize == 0 ||
                (padding[0] == '\0' && std::memcmp(padding, padding + 1, paddingSize - 1) == 0),
            "padding not zero");
    if (!ownText) return;
    if (lastValid.size() == length && std::memcmp(lastValid.data(), status.text, length) == 0) {
        return;
    }
    require(status.text[0] == '{', "text does not start with an object");
    require(json_find_close(status.text) == status.text + length - 1, "not one valid object");
    lastValid.assign(status.text, length);
}

// The decoded string member `name`, or "\x01missing".
std::string stringMember(const char* text, const char* name) {
    std::string decoded(payloadString(text, nullptr, name, nullptr, 0), '\0');
    if (decoded.empty()) return "\x01missing";
    payloadString(text, nullptr, name, &decoded[0], decoded.size());
    decoded.pop_back();
    return decoded;
}

struct Fuzzer {
    FuzzedDataProvider input;
    Status statuses[3];
    int32_t expected[3] = {0, 0, 0};
    bool ownText[3] = {true, true, true};  // see checkLayout
    std::string validText[3];

    Fuzzer(const uint8_t* data, size_t size) : input(data, size) {}

    int32_t code() {
        static const int32_t kCodes[] = {0,
                                         1,
                                         7,
                                         -1,
                                         voapalerr_memoryFull,
                                         voapalerr_invalidParameter,
                                         voapalerr_resourceNotFound,
                                         voapalerr_osFault,
                                         INT32_MIN,
                                         INT32_MAX};
        if (input.ConsumeBool()) return input.ConsumeIntegral<int32_t>();
        return input.PickValueInArray(kCodes);
    }

    // Short texts, or (one in four) long ones made of a repeated piece, up to 768 bytes
    // and six times that escaped: several buffer doublings in one insertion.
    std::string text() {
        std::string piece = input.ConsumeRandomLengthString(48);
        piece = piece.c_str();  // the operations see texts up to their NUL
        const bool isLong = input.ConsumeIntegralInRange(0, 3) == 0;
        const int repeats = isLong ? input.ConsumeIntegralInRange(1, 16) : 1;
        std::string whole;
        for (int i = 0; i < repeats; ++i) whole += piece;
        return whole;
    }

    Status& pick(int* index = nullptr) {
        const int i = input.ConsumeIntegralInRange(0, 2);
        if (index != nullptr) *index = i;
        return statuses[i];
    }

    void setError(Status& status, int32_t& model) {
        const std::string file = text();
        const std::string component = text();
        const std::string constant = text();
        const bool withComponent = input.ConsumeBool();
        const SourceLocation site{file.c_str(), input.ConsumeIntegral<int32_t>(),
                                  withComponent ? component.c_str() : nullptr, constant.c_str()};
        const int32_t incoming = code();
        bool ok = false;
        const bool taken = status.setError(incoming, site, &ok);
        require(taken == (expectedAfter(model, incoming) != model), "setError taken");
        model = expectedAfter(model, incoming);
        requireOk(status, ok);
        if (taken && ok) {
            require(stringMember(status.text, "error_constant") == constant, "error_constant");
            require(stringMember(status.text, "file") == file, "file written whole");
            require(payloadInt(status.text, nullptr, "line", 0) == site.line, "line");
        }
    }

    void bridge(Status& status, int32_t& model) {
        PlatformStatusBridge bridge(&status);
        int64_t platformCode = model;
        if (input.ConsumeBool()) {
            failArrayNew = input.ConsumeBool();
            char* array =
                allocateArrayNoThrow(input.ConsumeIntegralInRange(1, 300), bridge.status());
            require(array != nullptr || model < 0 || failArrayNew, "allocation failed");
            if (model >= 0 && failArrayNew) {
                platformCode = expectedAfter<int64_t>(platformCode, voapalerr_memoryFull);
            }
            delete[] array;
            failArrayNew = false;
        } else {
            const int64_t incoming = input.ConsumeIntegral<int64_t>();
            const std::string file = text();
            const std::string component = text();
            bridge.status()->setError(incoming, component.c_str(), file.c_str(),
                                      input.ConsumeIntegral<uint64_t>());
            platformCode = expectedAfter(platformCode, incoming);
        }
        require(bridge.status()->code == platformCode, "platform code");
        if (platformCode != 0) model = expectedAfter(model, static_cast<int32_t>(platformCode));
    }

    // setText with a text from outside: one of the awkward ones, or any bytes.
    void setForeignText(Status& status, bool& own) {
        const std::string foreign =
            input.ConsumeBool() ? input.PickValueInArray(kForeignTexts) : text();
        const std::string before = status.text != nullptr ? status.text : "";
        if (status.setText(foreign.c_str()) != nullptr) {
            require(foreign == status.text, "setText stored another text");
            own = false;
        } else {
            require(status.text == nullptr || before == status.text, "failed setText changed text");
        }
    }

    // addStringMember anywhere in the buffer, the padding included: a position past the
    // NUL, or a closer with only white space before it, must be refused; any refusal
    // leaves the text as it was, and an insertion adds the member (and maybe a comma).
    void insertAnywhere(Status& status, bool& own) {
        if (status.text == nullptr) return;
        const size_t length = std::strlen(status.text);
        const size_t last = input.ConsumeBool() ? length : status.capacity - 1;
        char* p = status.text + input.ConsumeIntegralInRange<size_t>(0, last);
        const std::string before = status.text;
        const std::string name = text();
        const std::string value = text();
        const bool refused = !json_can_insert_at(status.text, length, p);
        const uint32_t room = status.capacity;
        char* end =
            room < kGrowthLimit ? status.addStringMember(p, name.c_str(), value.c_str()) : nullptr;
        if (end == nullptr) {
            require(before == status.text, "refused insert changed text");
            return;
        }
        require(!refused, "insert at a position that cannot take a member");
        const size_t member =
            json_escaped_length(name.c_str()) + 3 + json_escaped_length(value.c_str()) + 2;
        const size_t grown = std::strlen(status.text) - before.size();
        require(grown == member || grown == member + 1, "insert wrote another size");
        own = false;  // inside a string or after a scalar, the text is no longer an object
    }

    // Runs one operation on the status at `to` (and maybe `from`); both are checked.
    void step() {
        int to = 0;
        int from = 0;
        Status& status = pick(&to);
        from = to;
        int32_t& model = expected[to];
        bool& own = ownText[to];
        switch (input.ConsumeIntegralInRange(0, 15)) {
            case 0: {
                const int32_t incoming = code();
                const bool taken = status.setCode(incoming);
                require(taken == (expectedAfter(model, incoming) != model), "setCode taken");
                model = expectedAfter(model, incoming);
                if (taken) own = true;  // the text, if any, is "{}" again
                break;
            }
            case 1: {
                const int32_t before = model;
                setError(status, model);
                if (model != before) own = true;
                break;
            }
            case 2: {
                const std::string before = status.text != nullptr ? status.text : "";
                const std::string name = text();
                const std::string value = text();
                // Bounded like growAt's doubling, so that steps stay fast.
                char* at = status.capacity < kGrowthLimit ? status.reserve(2) : nullptr;
                if (at != nullptr &&
                    status.addStringMember(at, name.c_str(), value.c_str()) == nullptr) {
                    require(before.empty() || before == status.text, "failed insert changed text");
                }
                break;
            }
            case 3: {
                Status& other = pick(&from);
                const bool otherHasText = other.text != nullptr;
                bool ok = false;
                if (status.mergeCopy(other, &ok)) own = !(otherHasText && ok) || ownText[from];
                requireOk(status, ok);
                model = expectedAfter(model, expected[from]);
                break;
            }
            case 4: {
                Status& other = pick(&from);
                const int32_t otherCode = other.code;
                const bool otherOwn = ownText[from];
                bool ok = false;
                if (status.mergeMove(other, &ok)) {
                    own = status.text == nullptr || !ok || otherOwn;
                    if (other.text == nullptr) ownText[from] = true;
                }
                requireOk(status, ok);
                require(other.code == otherCode, "mergeMove changed the source code");
                model = expectedAfter(model, expected[from]);
                break;
            }
            case 5: {
                Status& other = pick(&from);
                if (status.assign(other)) {
                    model = expected[from];
                    own = ownText[from];
                }
                break;
            }
            case 6: {
                // Doubling in a loop would soon ask for gigabytes: stop at the limit.
                char* at = status.capacity < kGrowthLimit ? status.reserve(2) : nullptr;
                const uint32_t capacity = status.capacity;
                if (at != nullptr && status.growAt(at) != nullptr) {
                    require(status.capacity == 2 * capacity, "growAt doubles");
                }
                break;
            }
            case 7:
                status.release();
                require(status.text == nullptr, "release left a buffer");
                own = true;
                break;
            case 8:
            case 9: {
                const int32_t before = model;
                bridge(status, model);
                if (model != before) own = true;
                break;
            }
            case 10: {
                // Small requests, or ones above the limit; never the gigabytes in between.
                const uint32_t n =
                    input.ConsumeBool()
                        ? input.ConsumeIntegralInRange<uint32_t>(0, kGrowthLimit)
                        : input.ConsumeIntegralInRange<uint32_t>(2147483646u, UINT32_MAX);
                char* close = status.reserve(n);
                require(close == nullptr || status.capacity >= n + 2, "reserve too small");
                break;
            }
            case 11: {
                Status& other = pick(&from);
                const bool copy = other.text != nullptr && input.ConsumeBool();
                const std::string copied = copy ? other.text : "{}";
                if (status.setText(copy ? copied.c_str() : nullptr) != nullptr) {
                    own = !copy || ownText[from];
                }
                break;
            }
            case 12:
                // Switching is safe only without a buffer: each resize frees its own.
                if (status.text == nullptr) {
                    status.resize = status.resize == defaultResize ? flakyResize : defaultResize;
                }
                break;
            case 13:
                setForeignText(status, own);
                break;
            case 14:
                insertAnywhere(status, own);
                break;
            default:
                refusals = input.ConsumeIntegral<uint64_t>();
                break;
        }
        for (const int i : {to, from}) checkLayout(statuses[i], ownText[i], validText[i]);
        for (int i = 0; i < 3; ++i) {
            require(statuses[i].code == expected[i], "code differs from the model");
        }
    }
};

}  // namespace

// Replaces the library's non-throwing array new, so that allocations can fail on cue.
void* operator new[](std::size_t n, const std::nothrow_t&) noexcept {
    if (failArrayNew) return nullptr;
    try {
        return ::operator new[](n);
    } catch (...) {
        return nullptr;
    }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    refusals = 0;
    growths = 0;
    Fuzzer fuzzer(data, size);
    for (int i = 0; i < 3; ++i) {
        if (fuzzer.input.ConsumeBool()) fuzzer.statuses[i].resize = flakyResize;
    }
    for (int steps = 0; steps < kMaxSteps && fuzzer.input.remaining_bytes() > 0; ++steps) {
        fuzzer.step();
    }
    return 0;
}
