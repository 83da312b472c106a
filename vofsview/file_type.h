// The file types of a view, from what stat(2) says: the one mapping both views share.
#pragma once

#include <sys/types.h>

#include "vofsview/file_system_view.h"

namespace vofsview {

// The type that a file's st_mode holds; FileType::unknown for a type without a name.
FileType file_type_of(mode_t mode) noexcept;

// For a failed stat(2): FileType::notFound into *type and 0 for ENOENT and ENOTDIR, as
// for a path that names nothing; `error` itself, *type unchanged, for anything else.
int not_found_or_error(int error, FileType* type) noexcept;

}  // namespace vofsview
