// Whole-file reading and the maker's shared directory lookup.
#pragma once

#include <string>

#include "errors/status.h"
#include "vohtl/file_buffer.h"

namespace vosysq {

// The maker's shared directory: the trimmed content of "/etc/morvane/share/share.dir"
// (possibly empty), or "/usr/local/morvane/share" when that file cannot be read. A failed
// read is not an error: only the string type's own exceptions leave this function.
std::string getVOSharedDir();

// Reads the whole file at `path` into `buffer`: on success its length is the file size
// plus one, the last byte NUL, and true is returned. Returns false, doing nothing, when
// the status is null or holds an error, or `path` is null. Otherwise a failure returns
// false with the status holding:
//   - voapalerr_resourceNotFound when the file cannot be opened (buffer unchanged);
//   - voapalerr_osFault when the size cannot be determined or held (buffer unchanged)
//     or fewer bytes than the size were read (buffer sized, NUL at the size position);
//   - voapalerr_memoryFull when the buffer cannot grow (buffer unchanged);
// with "internal_error" and "vosysq_debug" members after the location members when the
// error became the status's code.
bool read_file_contents(const char* path, vohtl::FileBuffer& buffer, Status* status) noexcept;

// Trims `text` in place: first the longest run at the end made of white space, NUL
// bytes and "/", then the longest run of white space at the start. Inner bytes stay; the
// result may be empty.
void trim_dir_text(std::string& text) noexcept;

}  // namespace vosysq
