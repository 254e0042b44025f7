#include "StartUp.h"

int main(int argc, char** argv)
{
    return runTarnquill(argc, argv);
}
