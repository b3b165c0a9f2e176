// Program entry. Until the application object exists this is a small check of the framework
// libraries: it builds, links and reports what it is.
#include <cstdio>

int main()
{
    std::printf("fwapp: framework check OK\n");
    return 0;
}
