// sqlserver-standin with the fake engine, for the protocol tests.
#include "Server.h"

int main(int argc, char** argv)
{
    return standin::tds::standinMain(argc, argv);
}
