#include "program.h"

int main(int argc, char **argv)
{
    Program program(argc, argv);
    program.show();
    return QCoreApplication::exec();
}
