#include "failing_allocation.h"

#include <cstdlib>

#include "vohtl/memory.h"

namespace failing_allocation {

namespace {

int callCount = 0;
int failCountdown = 0;

// Counts one allocation call and says whether it is the one that must fail.
bool next_call_fails() {
    ++callCount;
    return failCountdown > 0 && --failCountdown == 0;
}

}  // namespace

int calls() {
    return callCount;
}

FailAllocation::FailAllocation(int nth) {
    failCountdown = nth;
}
FailAllocation::~FailAllocation() {
    failCountdown = 0;
}

}  // namespace failing_allocation

namespace vohtl {

void* allocate_bytes(size_t n) noexcept {
    return failing_allocation::next_call_fails() ? nullptr : std::malloc(n);
}

void* reallocate_bytes(void* block, size_t n) noexcept {
    return failing_allocation::next_call_fails() ? nullptr : std::realloc(block, n);
}

void free_bytes(void* block) noexcept {
    std::free(block);
}

}  // namespace vohtl
