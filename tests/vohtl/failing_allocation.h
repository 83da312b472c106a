// A replacement for vohtl's heap access, linked into the vohtl test binary in place of
// vohtl/memory.cpp, that counts allocations and makes a chosen one fail.
#pragma once

namespace failing_allocation {

// Number of allocation calls (allocate or reallocate) made so far.
int calls();

// While alive, the allocation call `nth` from now (1 = the next) fails.
class FailAllocation {
public:
    explicit FailAllocation(int nth);
    ~FailAllocation();
    FailAllocation(const FailAllocation&) = delete;
    FailAllocation& operator=(const FailAllocation&) = delete;
};

// The payload that every exhausted vohtl container records.
constexpr const char* kAllocatorPayload =
    "{\"error_constant\":\"voapalerr_memoryFull\",\"file\":\"vohtl/err/Allocator.cpp\","
    "\"line\":32,\"component\":\"vosyncloc\"}";

}  // namespace failing_allocation
