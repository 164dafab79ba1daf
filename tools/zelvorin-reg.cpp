// zelvorin-reg: the settings hives from the command line (see RegTool.h).
#include "RegTool.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTextStream in(stdin);
    QTextStream out(stdout);
    QTextStream err(stderr);
    QStringList arguments = app.arguments();
    arguments.removeFirst();
    const int code = zelvorin::tools::runRegTool(arguments, zelvorin::tools::defaultRegToolFiles(),
                                                 in, out, err);
    out.flush();
    err.flush();
    return code;
}
