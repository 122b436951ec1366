// tst_unprivileged PROGRAM [ARGUMENTS]: runs a test program as the user "nobody" when
// started as root, so that its tests of file permissions bind (they do not bind root, and
// CI runs as root). As another user, or where nobody cannot reach the program and the
// test data, the program runs unchanged and such tests skip as before.
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

bool becomeUser(const passwd &user)
{
    return setgroups(0, nullptr) == 0 && setgid(user.pw_gid) == 0 && setuid(user.pw_uid) == 0;
}

bool canReach(const char *program)
{
    return access(program, X_OK) == 0 && access(TRESSIL_TEST_DATA_DIR, R_OK | X_OK) == 0;
}

// Runs the program as `user` in a child and returns its status as a shell would; -1 when
// the child could not become the user or reach the program (it then reports through
// `failed`, a pipe whose end closes unwritten on a successful exec).
int runAs(const passwd &user, char **argv)
{
    int failed[2];
    if (pipe2(failed, O_CLOEXEC) != 0)
        return -1;
    const pid_t child = fork();
    if (child == 0) {
        close(failed[0]);
        if (becomeUser(user) && canReach(argv[0]))
            execv(argv[0], argv);
        const char byte = 1;
        (void)!write(failed[1], &byte, 1);
        _exit(127);
    }
    close(failed[1]);
    char byte = 0;
    ssize_t got;
    while ((got = read(failed[0], &byte, 1)) < 0 && errno == EINTR) { }
    close(failed[0]);
    int status = 0;
    while (child > 0 && waitpid(child, &status, 0) < 0 && errno == EINTR) { }
    if (child < 0 || got != 0)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 2) {
        std::fputs("usage: tst_unprivileged PROGRAM [ARGUMENTS]\n", stderr);
        return 2;
    }
    const passwd *nobody = geteuid() == 0 ? getpwnam("nobody") : nullptr;
    if (nobody) {
        const int status = runAs(*nobody, argv + 1);
        if (status >= 0)
            return status;
        std::fprintf(stderr, "tst_unprivileged: nobody cannot run %s; running it as root\n", argv[1]);
    }
    execv(argv[1], argv + 1);
    std::perror(argv[1]);
    return 127;
}
