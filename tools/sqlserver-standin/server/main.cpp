#include "Server.h"

int main(int argc, char** argv)
{
    return standin::tds::standinMain(argc, argv);
}
