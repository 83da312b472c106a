// Recording an error together with the source location that reported it.
#include "errors/error_constants.h"
#include "errors/status.h"
#include "json/json_buffer.h"

bool Status::setError(int32_t c, const SourceLocation& location, bool* ok) noexcept {
    const bool taken = setCode(c);
    if (ok != nullptr) *ok = true;
    if (!taken) return false;
    // The code is already set: a payload that cannot be written completely keeps it,
    // and the text holds the members written so far, still a valid object.
    char* p = setText(nullptr);
    p = addStringMember(p, "error_constant", location.errorConstant);
    p = addLocationMembers(p, location);
    if (p == nullptr && ok != nullptr) *ok = false;
    return true;
}

char* Status::addLocationMembers(char* p, const SourceLocation& location) noexcept {
    const JsonGrowHook hook{statusGrowHook, this};
    p = addStringMember(p, "file", location.file);
    p = json_add_int(p, "line", location.line, &hook);
    if (p == nullptr || location.component == nullptr) return p;
    return addStringMember(p, "component", location.component);
}
