// Prints where a program in this folder finds the read-me (empty when it finds none).

#include "support/sufiles.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    std::puts(qPrintable(suReadMeFilePath()));
    return 0;
}
