/* A C program on the installed libvosyncloc. With no argument it prints every location
 * as "key=path" lines, with a key that location's path and a newline, as vosyncloc(1)
 * does. A failed call prints the library's message and exits with 10 minus its code; a
 * failed write exits with 1. */
#define _POSIX_C_SOURCE 200809L
#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <string.h>
#include <vosyncloc/vosyncloc.h>

int main(int argc, char** argv) {
    /* As the library's header advises, before the first call. */
    for (int fd = 0; fd <= 2; ++fd) {
        if (fcntl(fd, F_GETFD) == -1 && errno == EBADF) open("/dev/null", O_RDONLY);
    }
    char *path = NULL, *message = NULL;
    size_t length = 0;
    vosyncloc_list* list = NULL;
    int code = argc > 1 ? vosyncloc_location(argv[1], &path, &length, &message)
                        : vosyncloc_list_open(&list, &message);
    if (code != VOSYNCLOC_OK) {
        fprintf(stderr, "%s\n", message != NULL ? message : "(no message)");
        vosyncloc_free(message);
        return 10 - code;
    }
    for (size_t i = 0; i < vosyncloc_list_count(list); ++i) {
        printf("%s=", vosyncloc_list_key(list, i));
        const char* listed = vosyncloc_list_path(list, i, &length);
        fwrite(listed, 1, length, stdout);
        putchar('\n');
    }
    if (path != NULL) {
        fwrite(path, 1, length, stdout);
        putchar('\n');
    }
    vosyncloc_list_close(list);
    vosyncloc_free(path);
    if (fflush(stdout) != 0) {
        fprintf(stderr, "consumer: write error: %s\n", strerror(errno));
        return 1;
    }
    return 0;
}
