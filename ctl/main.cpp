#include "trivoctl.h"

int main(int argc, char **argv)
{
    return TrivoctlMain(argc, argv);
}
