// tressil-package: the EJP package tool for developers of Tressil applications.
#include "packagetool.h"

#include <QStringList>

#include <cstdio>

int main(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    const int status = PackageTool(stdout, stderr).run(arguments);
    // A failed write of the listing is a failure of the command.
    if (std::fflush(stdout) != 0 || std::ferror(stdout))
        return PackageTool::ExitProblem;
    return status;
}
