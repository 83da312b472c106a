// Error constants and the source locations that open every error payload.
#pragma once

#include <cstdint>

constexpr int32_t voapalerr_memoryFull = -52000;        // memory exhausted
constexpr int32_t voapalerr_invalidParameter = -52005;  // library or symbol not loadable
constexpr int32_t voapalerr_resourceNotFound = -52006;  // file not openable; relocation failed
constexpr int32_t voapalerr_osFault = -52008;           // short read; unknown directory name

// The tag written as "component" by every reporting site of this program.
constexpr const char* voerr_component = "vosyncloc";

// One constant record per reporting site.
struct SourceLocation {
    const char* file;           // source path of the reporting site
    int32_t line;               // line number of the reporting site
    const char* component;      // program tag; null writes no "component" member
    const char* errorConstant;  // the constant's name, e.g. "voapalerr_memoryFull"
};
