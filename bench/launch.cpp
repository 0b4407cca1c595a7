// Starts a program and hands it the monotonic time taken just before exec, so
// that it can tell how long it took from exec to its first painted window.
#include "benchclock.h"

#include <string>
#include <sys/wait.h>
#include <unistd.h>

int main(int argc, char **argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_launch PROGRAM [ARGS...]\n");
        return 2;
    }
    const pid_t child = fork();
    if (child == 0) {
        const std::string t0 = std::to_string(bench::wallNs());
        setenv("BENCH_T0_NS", t0.c_str(), 1);
        execv(argv[1], argv + 1);
        std::perror("exec");
        _exit(127);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}
