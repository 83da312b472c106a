/* libvosyncloc: where the files and directories of the VO-Sync / VO-Kairon software
 * live on this machine, as the command vosyncloc(1) prints them, for C and C++
 * programs. Link with -lvosyncloc (pkg-config vosyncloc, or the CMake package
 * vosyncloc and its target vosyncloc::vosyncloc). Manual page: vosyncloc(3).
 *
 * Results. Every function that can fail returns VOSYNCLOC_OK (0) or one of the
 * negative VOSYNCLOC_ERR_ codes below. A failed call leaves every output parameter as
 * it was, except the optional message. No C++ exception ever leaves the library.
 *
 * Memory. Strings that a call hands over (a path, a message) are allocated by the
 * library and belong to the caller, who releases each with vosyncloc_free. Strings
 * returned as const char * belong to the library; each function says how long they
 * live. A list is released with vosyncloc_list_close.
 *
 * Paths are byte strings, as the file system holds them. One may contain a NUL byte
 * (the maker's shared directory is read from a file as it is), so each path also comes
 * with its length; it is NUL-terminated as well, for the common case.
 *
 * Threads. Every function may be called from several threads at once. Each call works
 * its locations out on its own; the table of standard directories that it reads is
 * built once, by the first call that needs it, and is read-only afterwards. A list may be
 * read from several threads at once; closing it must not race with reading it. Do not
 * cancel (pthread_cancel) a thread while it is inside a call.
 *
 * Fork. After fork() in a program with more than one thread, the child may call only
 * async-signal-safe functions until it calls exec, and no function here is one: a child
 * forked while another thread was inside a call that logs a warning would wait for ever
 * on the C library's system-log lock. A single-threaded program may call the library in
 * its child.
 *
 * Loading. Loading the library runs none of its code that loads a library or logs.
 * The first call that works out a location (vosyncloc_location, vosyncloc_list_open)
 * builds the table of standard directories, once and thread-safely: built-in defaults,
 * replaced where the optional relocation library libvorelocations.so.0 answers. That
 * library is opened, asked once per directory and closed again then, and never again in
 * the process. Calls are valid until the library is unloaded or its destructors run at
 * process exit.
 *
 * System log. A standard directory that cannot be obtained does not fail a call: a
 * fixed default takes its place, and a warning goes to the system log at LOG_WARNING,
 * as vosyncloc(1) writes it ("vosysq::get_bindir() failed" and the like, one per failed
 * query). The library never calls openlog, so the program's identity and facility
 * apply. Nothing else is written anywhere.
 *
 * Descriptors. The library never reads, writes or closes the caller's descriptors;
 * the only descriptors it opens are its own, briefly (a file it reads) or for the
 * system log. A closed standard output changes no result. Note that syslog(3) opens
 * its socket on the lowest free descriptor: in a program started with descriptor 0, 1
 * or 2 closed, that socket can become, say, its standard output, and what the program
 * then writes there goes to the system log. Such a program should open /dev/null on
 * every closed descriptor among 0, 1 and 2 before its first call, as vosyncloc(1) does
 * before main, since the relocation library asked then may log or open files too. The
 * library cannot do that without taking the descriptors over.
 */
#ifndef VOSYNCLOC_VOSYNCLOC_H
#define VOSYNCLOC_VOSYNCLOC_H

#include <stddef.h>

/* The version of this header, the library's release: VOSYNCLOC_VERSION_NUMBER compares
 * as the versions do (0xMMmmpp), for checks such as
 * #if VOSYNCLOC_VERSION_NUMBER >= 0x010100. */
#define VOSYNCLOC_VERSION_MAJOR 1
#define VOSYNCLOC_VERSION_MINOR 0
#define VOSYNCLOC_VERSION_PATCH 0
#define VOSYNCLOC_VERSION_NUMBER \
    ((VOSYNCLOC_VERSION_MAJOR << 16) | (VOSYNCLOC_VERSION_MINOR << 8) | VOSYNCLOC_VERSION_PATCH)

#if defined(__GNUC__)
#define VOSYNCLOC_API __attribute__((visibility("default")))
#else
#define VOSYNCLOC_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* The result codes. A message, where asked for, says more. */
enum vosyncloc_result {
    /* Success. */
    VOSYNCLOC_OK = 0,
    /* A required output pointer is null. Message: "<function>: null output pointer". */
    VOSYNCLOC_ERR_ARGUMENT = -1,
    /* The key is not one of the fifteen: a null or empty key, a prefix of a key
     * ("runtime"), a key in another case ("RuntimeDir"), or the name of a location that
     * is not listed ("configDir"). Keys are compared byte for byte. Message: "invalid
     * location " followed by the key, as vosyncloc(1) prints it before escaping it for
     * the terminal. */
    VOSYNCLOC_ERR_KEY = -2,
    /* A probe of the installation layout failed for another reason than a missing
     * file (permission denied on a parent directory, a loop of symbolic links, a name
     * too long). Message: the text vosyncloc(1) prints, e.g. "boost::filesystem::status:
     * Too many levels of symbolic links: "/usr/lib/x86_64-linux-gnu/vo-kairon"". */
    VOSYNCLOC_ERR_FILE_STATUS = -3,
    /* Memory ran out. Message: "std::bad_alloc", when there was memory for it. */
    VOSYNCLOC_ERR_MEMORY = -4,
    /* Any other failure inside the library; none is known to occur. The message
     * describes it. */
    VOSYNCLOC_ERR_INTERNAL = -5
};

/* The fifteen product locations, worked out once, in listing order. Opaque. */
typedef struct vosyncloc_list vosyncloc_list;

/* vosyncloc_key: the key at `index` (0 to 14) in listing order ("kaironDir",
 * "kaironLibraryDir", "runtimeDir", ... "gpsMetaDataFile"), or NULL when index is 15
 * or more, which ends a loop over the keys. The text is static: never free it. Does no
 * work and cannot fail. */
VOSYNCLOC_API const char* vosyncloc_key(size_t index);

/* vosyncloc_location: the path of the location named by `key`, worked out as one run
 * of "vosyncloc KEY" does (the whole layout is probed, so the same warnings may go to
 * the system log), and the same bytes that it prints before its newline.
 *
 * On success returns VOSYNCLOC_OK and sets *path to a new NUL-terminated string that
 * the caller frees with vosyncloc_free, and, when `length` is not NULL, *length to its
 * length in bytes (without the terminator; a NUL byte may lie before it).
 *
 * On failure returns VOSYNCLOC_ERR_ARGUMENT (path is NULL; checked first),
 * VOSYNCLOC_ERR_KEY (checked before any other work, so an unknown key logs nothing),
 * VOSYNCLOC_ERR_FILE_STATUS, VOSYNCLOC_ERR_MEMORY or VOSYNCLOC_ERR_INTERNAL, and leaves
 * *path and *length unchanged. Then, when `message` is not NULL, *message receives a
 * new NUL-terminated text that the caller frees with vosyncloc_free, or NULL when no
 * memory was left for it. On success *message is left unchanged. */
VOSYNCLOC_API int vosyncloc_location(const char* key, char** path, size_t* length, char** message);

/* vosyncloc_list_open: all fifteen locations, worked out once, as one run of
 * "vosyncloc" does (same probes, same warnings, same paths).
 *
 * On success returns VOSYNCLOC_OK and sets *list to a new list that the caller releases
 * with vosyncloc_list_close. On failure returns VOSYNCLOC_ERR_ARGUMENT (list is NULL),
 * VOSYNCLOC_ERR_FILE_STATUS, VOSYNCLOC_ERR_MEMORY or VOSYNCLOC_ERR_INTERNAL, leaves
 * *list unchanged and sets *message as vosyncloc_location does. */
VOSYNCLOC_API int vosyncloc_list_open(vosyncloc_list** list, char** message);

/* vosyncloc_list_count: the number of locations in `list` (15), or 0 for NULL. */
VOSYNCLOC_API size_t vosyncloc_list_count(const vosyncloc_list* list);

/* vosyncloc_list_key: the key of entry `index`, the same static text as
 * vosyncloc_key(index), or NULL when `list` is NULL or index is not below the count.
 * Never free it. */
VOSYNCLOC_API const char* vosyncloc_list_key(const vosyncloc_list* list, size_t index);

/* vosyncloc_list_path: the path of entry `index`, NUL-terminated and owned by the list
 * (valid until vosyncloc_list_close; never free it), and, when `length` is not NULL,
 * its length in *length. Returns NULL and leaves *length unchanged when `list` is NULL
 * or index is not below the count. */
VOSYNCLOC_API const char* vosyncloc_list_path(const vosyncloc_list* list, size_t index,
                                              size_t* length);

/* vosyncloc_list_close: releases `list` and every path it holds. NULL does nothing. */
VOSYNCLOC_API void vosyncloc_list_close(vosyncloc_list* list);

/* vosyncloc_free: releases a string that the library handed over (a path of
 * vosyncloc_location, a message). NULL does nothing. */
VOSYNCLOC_API void vosyncloc_free(void* memory);

#ifdef __cplusplus
}
#endif

#endif
